// An INI file with Windows profile semantics: sections and keys compared
// without regard to ASCII letter case, values stored raw (no quoting, no
// escapes, ';' and '\' are ordinary characters), "1"/"0" booleans, decimal
// or 0x hexadecimal integers, CR LF line ends. Read whole, written whole
// (atomically) on every change, like the profile functions it stands for.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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

    // Each write updates the file at once (created with its folder when
    // missing). Returns false, leaving the file as it was, when it cannot be
    // written.
    [[nodiscard]] bool writeString(const QString &section, const QString &key, const QString &value);
    [[nodiscard]] bool writeInteger(const QString &section, const QString &key, int value);
    [[nodiscard]] bool writeBool(const QString &section, const QString &key, bool value);
    [[nodiscard]] bool eraseSection(const QString &section);
    [[nodiscard]] bool deleteKey(const QString &section, const QString &key);

    // Unix permission bits for a file this store creates (e.g. 0600 for a
    // file holding a password); 0 keeps the default.
    void setCreatePermissions(int mode) { m_createMode = mode; }

private:
    struct Entry { QString key; QString value; };
    struct Section { QString name; QList<Entry> entries; };

    const Section *findSection(const QString &name) const;
    Section *findSection(const QString &name);
    bool save();

    QString m_path;
    QList<Section> m_sections;
    int m_createMode = 0;
};

} // namespace Quorvant
