// An INI file with Windows profile semantics: sections and keys compared
// without regard to ASCII letter case, values stored raw (no quoting, no
// escapes, ';' and '\' are ordinary characters), "1"/"0" booleans, decimal
// or 0x hexadecimal integers, CR LF line ends. Values read with the blanks
// around them trimmed; quotes are part of the value. Read whole, written
// whole (atomically) on every change, like the profile functions it stands
// for.
#pragma once

#include "textfileformat.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace Quorvant {

class IniFile
{
public:
    explicit IniFile(QString path);

    QString path() const { return m_path; }

    // Reads the file again; a missing file reads as empty. Returns false
    // only when an existing file cannot be read.
    bool reload();

    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    // Decimal, or hexadecimal after "0x"/"0X"; anything else gives the default.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    // "1" is true, "0" is false; any other integer is true; a non-number gives the default.
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;

    bool sectionExists(const QString &section) const;
    bool valueExists(const QString &section, const QString &key) const;
    QStringList sections() const;
    QStringList keys(const QString &section) const;

    // Each write starts from the file as it is on disk and updates it at
    // once (created with its folder when missing). Returns false, leaving the
    // file as it was, when it cannot be read or written, or when the name or
    // value cannot be stored (empty name, a line break, "=" in a key).
    [[nodiscard]] bool writeString(const QString &section, const QString &key, const QString &value);
    [[nodiscard]] bool writeInteger(const QString &section, const QString &key, int value);
    [[nodiscard]] bool writeBool(const QString &section, const QString &key, bool value);
    [[nodiscard]] bool eraseSection(const QString &section);
    [[nodiscard]] bool deleteKey(const QString &section, const QString &key);

    // Unix permission bits the file gets on every write, whatever it had
    // before (e.g. 0600 for a file holding a password); 0 keeps those of an
    // existing file and gives a new one the default.
    void setPermissions(int mode) { m_mode = mode; }

private:
    // Every line of the file is kept, so comments, blank lines and lines this
    // store does not understand survive a rewrite.
    struct Line
    {
        QString text;   // as in the file, without its line end
        QString key;    // trimmed; empty when the line is not a setting
        QString value;  // trimmed
    };
    struct Section
    {
        QString name;    // trimmed
        QString header;  // the "[...]" line as in the file
        QList<Line> lines;
        // First line of each key, by its ASCII-lowercased name; built on the
        // first lookup in a long section.
        mutable QHash<QString, qsizetype> keyIndex;
        mutable bool indexed = false;
        void reindex();
    };
    struct Content
    {
        QList<QString> preamble;  // lines before the first section
        QList<Section> sections;
        // First section of each name, by its ASCII-lowercased name.
        QHash<QString, qsizetype> sectionIndex;
        TextFileFormat format;  // as read, so a write keeps the encoding
        void reindex();
    };

    static const Section *findSection(const Content &content, const QString &name);
    static Section *findSection(Content &content, const QString &name);
    static qsizetype indexOfKey(const Section &section, const QString &key);
    const Line *findValue(const QString &section, const QString &key) const;
    // The file's content, parsed once for as long as the file is unchanged
    // on disk (every IniFile of the same path shares it).
    std::shared_ptr<const Content> load(bool *ok) const;
    bool readContent(Content *out) const;
    bool writeContent(const Content &content) const;
    void remember(Content &&content);

    QString m_path;
    std::shared_ptr<const Content> m_content;
    int m_mode = 0;
};

} // namespace Quorvant
