// The user's code snippets in "Snippets.Dat": records of a title line (the
// mark U+009E and the name), the body lines (part 1, the separator U+00FE,
// part 2) and the end line "END}". Every change rewrites the file whole and
// atomically.
#pragma once

#include "debugout.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace Quorvant {

inline constexpr char16_t SnippetTitleMark = 0x9E;
inline constexpr char16_t SnippetSeparator = 0xFE;
inline constexpr char SnippetEndLine[] = "END}";
inline constexpr char SnippetsLockedMessage[] = "Unable to access Code Snippets data file, it is locked!";
inline constexpr char SnippetsWriteFailedMessage[] =
    "Unable to write the Code Snippets data file. Your code snippet has not been saved.";

struct TSnippetParts
{
    QString Part1;
    QString Part2;
    friend bool operator==(const TSnippetParts &, const TSnippetParts &) = default;
};

class TCodeSnippits
{
public:
    // Shows an error box; MessageService's by default.
    using ErrorBox = std::function<void(const QString &text)>;
    TCodeSnippits(const QString &FileName, DebugOut debugger = {}, ErrorBox error = {});

    void LoadData();
    // The non-empty names, one row each, in file order.
    QStringList GetAllCodeSnippitNames() const;
    QStringList RefreshList();

    // The body of the first record of this name (ignoring ASCII case), each
    // line followed by CR LF; read afresh from the file.
    QString LoadCodeSnippit(const QString &Name);
    // The body of the record behind a row of the list; the first record of
    // that name when the row no longer names it (the file changed).
    QString LoadCodeSnippitAt(int row, const QString &Name);
    // Appends a record; false when the file could not be written, or
    // exists but could not be read. Likewise for every change below.
    [[nodiscard]] bool SaveCodeSnippit(const QString &Name, const QString &Snippet1, const QString &Snippet2);
    // Removes every record of this name.
    [[nodiscard]] bool RemoveCodeSnippit(const QString &Name);
    // Removes the one record behind a row of the list.
    [[nodiscard]] bool RemoveCodeSnippitAt(int row, const QString &Name);
    // Replaces the one record behind a row of the list where it stands (the
    // first of OldName when the row names another; appends when none is left).
    [[nodiscard]] bool ReplaceCodeSnippitAt(int row, const QString &OldName, const QString &Name,
                                            const QString &Snippet1, const QString &Snippet2);

    // Writes every snippet to another file of the same format; false also
    // when this store's file exists but cannot be read.
    [[nodiscard]] bool ExportTo(const QString &FileName);
    // Appends every snippet of another such file; *added counts them. False
    // when this store's file could not be written.
    [[nodiscard]] bool ImportFrom(const QString &FileName, int *added);

    // Part 1 up to the first separator, part 2 after it up to a second one.
    static TSnippetParts splitBody(const QString &body);
    // Why the file format cannot hold this snippet; empty when it can.
    static QString whyNotStorable(const QString &Name, const QString &Snippet1, const QString &Snippet2);
    // The lines of a record.
    static QStringList recordLines(const QString &Name, const QString &Snippet1, const QString &Snippet2);
    // A file's lines: UTF-8, or Windows-1252 whose byte 0x9E at a line's
    // start is the title mark.
    static QStringList decodeLines(const QByteArray &bytes);

    QStringList CodeSnippets;
    QStringList CodeSnippetNames;
    QString DataFile;

private:
    // The file's lines; false (after the locked message) when it is missing.
    bool readLines(QStringList *lines, bool reportMissing);
    // The lines, each followed by CR LF, written atomically to FileName.
    // The lines a change starts from: none when the file is missing (it is
    // created); false when it exists but cannot be read, as writing would
    // then lose it.
    bool readLinesToChange(QStringList *lines);
    bool writeLines(const QStringList &lines, const QString &FileName);
    // Index of the title line of a row, checked against its name; -1 when
    // the row does not name that record any more.
    static int titleLineOfRow(const QStringList &lines, int row, const QString &Name);
    // Index of the title line of the first record of this name, or -1.
    static int firstTitleOf(const QStringList &lines, const QString &Name);
    // Index past the end line of the record whose title is at line.
    static int recordEnd(const QStringList &lines, int titleLine);
    static bool isTitle(const QString &line) { return line.startsWith(QChar(SnippetTitleMark)); }

    DebugOut m_debug;
    ErrorBox m_error;
};

} // namespace Quorvant
