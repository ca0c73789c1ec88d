// The user's code snippets in "Snippets.Dat", an 8-bit file of records: a
// title line (the byte 0x9E and the name), the body lines (part 1, the byte
// 0xFE, part 2) and the end line "END}". Names and parts are each read on
// their own, as UTF-8 or Windows-1252, and written as UTF-8; files of
// earlier versions (the marks written as the characters U+009E and U+00FE
// in UTF-8) read as well. Every change rewrites the file atomically and
// keeps each record it does not touch byte for byte.
#pragma once

#include "debugout.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace Quorvant {

// The marks as bytes of the file.
inline constexpr char SnippetTitleByte = '\x9E';
inline constexpr char SnippetSeparatorByte = '\xFE';
// The marks as characters: a body as text holds its separators as U+00FE.
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
    // Appends every snippet of another such file that this one does not
    // hold already (the same name, ignoring ASCII case, and the same two
    // parts); *added and *skipped count them. False when this store's file
    // could not be written.
    [[nodiscard]] bool ImportFrom(const QString &FileName, int *added, int *skipped);

    // Part 1 up to the first separator, part 2 after it up to a second one.
    static TSnippetParts splitBody(const QString &body);
    // What inserting a body hands to the editor: its two parts joined by
    // one separator, without anything after a second separator.
    static QString insertionText(const QString &body);
    // Why the file format cannot hold this snippet; empty when it can.
    static QString whyNotStorable(const QString &Name, const QString &Snippet1, const QString &Snippet2);

    // Every name of the file, empty ones too, in file order.
    QStringList CodeSnippetNames;
    QString DataFile;

private:
    // A line of the file as stored: its bytes and the line end after them
    // (none on a last line without one).
    struct StoredLine
    {
        QByteArray bytes;
        QByteArray end;
    };
    using StoredLines = QList<StoredLine>;

    static StoredLines splitStoredLines(const QByteArray &bytes);
    // The file's lines; false (after the locked message) when it is missing.
    bool readLines(StoredLines *lines, bool reportMissing);
    // The lines a change starts from: none when the file is missing (it is
    // created); false when it exists but cannot be read, as writing would
    // then lose it.
    bool readLinesToChange(StoredLines *lines);
    // The lines with their line ends, written atomically to FileName.
    bool writeLines(const StoredLines &lines, const QString &FileName);
    // Appends a record, after giving an unended last line its line end.
    static void appendRecord(StoredLines *lines, const StoredLines &record);
    // True, with the name, for a title line: the byte 0x9E, or the
    // character U+009E of a UTF-8 line of earlier versions, and the name.
    static bool isTitle(const QByteArray &line, QString *name = nullptr);
    // The body of the record whose title is at titleLine: its lines, each
    // followed by CR LF, with U+00FE for every separator.
    static QString bodyOf(const StoredLines &lines, int titleLine);
    // The lines of a new record (body as bodyOf gives it); none when the
    // file cannot hold it.
    static StoredLines encodeRecord(const QString &Name, const QString &body);
    // The body a record of these parts has once stored.
    static QString storedBody(const QString &Snippet1, const QString &Snippet2);
    // Index of the title line of a row, checked against its name; -1 when
    // the row does not name that record any more.
    static int titleLineOfRow(const StoredLines &lines, int row, const QString &Name);
    // Index of the title line of the first record of this name, or -1.
    static int firstTitleOf(const StoredLines &lines, const QString &Name);
    // Index past the end line of the record whose title is at line.
    static int recordEnd(const StoredLines &lines, int titleLine);

    DebugOut m_debug;
    ErrorBox m_error;
};

} // namespace Quorvant
