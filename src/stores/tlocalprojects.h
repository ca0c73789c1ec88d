// Local project files ("Projects/<title>.QPJ"): a header of four values and
// one row per file with its to-do status.
#pragma once

#include "debugout.h"
#include "skippedlines.h"

#include <QList>
#include <QString>

namespace Quorvant {

struct TProjectRow
{
    QString FileName;
    QString TodoStatus;
    QString FilePath;
    friend bool operator==(const TProjectRow &, const TProjectRow &) = default;
};

class TLocalProjects
{
public:
    TLocalProjects(const QString &dataFolder, DebugOut debugger = {});

    // The rows live in the caller's list; these read and write them.
    [[nodiscard]] bool NewProjectFile(const QString &FileName, QList<TProjectRow> *ListView, const QString &ProjectName,
                                      const QString &WebsiteType, const QString &Language, const QString &Notes);
    [[nodiscard]] bool SaveProjectFile(const QString &FileName, const QList<TProjectRow> &ListView);
    [[nodiscard]] bool LoadProjectFile(const QString &FileName, QList<TProjectRow> *ListView);

    QString CurrentProjectName;
    QString CurrentWebsiteType;
    QString CurrentLanguage;
    QString CurrentNotes;

    QString projectsFolder() const { return m_folder; }
    // The path a project file name is written to; empty for a name that is
    // not a plain file name inside the folder ("..", "a/b", ...).
    QString projectPath(const QString &FileName) const;
    static bool isValidTitle(const QString &title);

    // The lines the last load skipped (numbered as in the file); empty
    // after a load without any and after NewProjectFile.
    const SkippedLines &skippedLines() const { return m_skipped; }

    // The file's bytes: line 1 holds the four header fields with the single
    // byte 0x9E between them, each further line one row (file name, to-do
    // status, path, parted by ","). Every field is written in UTF-8; a field
    // holding its line's separator, a line break or a leading quote is
    // quoted ("" for a quote) so it reads back whole. keptLines (lines a
    // load could not read) follow the rows as they were.
    static QByteArray encode(const QStringList &header, const QList<TProjectRow> &rows,
                             const QList<QByteArray> &keptLines = {});
    // Reads a project file in any form this program or older tools wrote:
    // the header parted at single 0x9E bytes or at the character U+009E in
    // UTF-8, each field UTF-8 when valid, otherwise Windows-1252. A line
    // that is neither the header nor a row (too few fields, control
    // characters) goes to *skipped and, as it was, to *keptLines.
    static void decode(const QByteArray &bytes, QStringList *header, QList<TProjectRow> *rows,
                       SkippedLines *skipped = nullptr, QList<QByteArray> *keptLines = nullptr);

private:
    QStringList header() const;

    DebugOut m_debug;
    QString m_folder;
    SkippedLines m_skipped;
    // Lines of the loaded file that are no row: written back after the rows,
    // so a save never drops what the program could not read.
    QList<QByteArray> m_keptLines;
};

} // namespace Quorvant
