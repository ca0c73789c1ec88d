// Local project files ("Projects/<title>.QPJ"): whatever a file holds, the
// program saves back what it loaded (header, rows, and the lines it could
// not read) so that loading the saved file gives the same header and rows,
// and saving that again writes the same lines (blank lines, which hold
// nothing, are not kept).
#include "fuzzsupport.h"

#include "textfileformat.h"
#include "tlocalprojects.h"

using namespace Quorvant;

namespace {

// The non-blank lines, whatever ended them.
QList<QByteArray> nonBlankLines(QByteArray bytes)
{
    QList<QByteArray> lines = bytes.replace("\r\n", "\n").replace('\r', '\n').split('\n');
    lines.removeAll(QByteArray());
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::inputBytes(data, size);
    const QString dataFolder = Fuzz::scratchFolder() + QStringLiteral("/projects");
    static TLocalProjects projects(dataFolder);
    const QString path = Fuzz::writeScratchFile(QStringLiteral("projects/Projects/Fuzz.QPJ"), bytes);

    QList<TProjectRow> rows;
    FUZZ_CHECK(projects.LoadProjectFile(path, &rows));
    const QStringList header{projects.CurrentProjectName, projects.CurrentWebsiteType, projects.CurrentLanguage,
                             projects.CurrentNotes};
    QStringList decodedHeader;
    QList<TProjectRow> decodedRows;
    SkippedLines skipped;
    QList<QByteArray> kept;
    TLocalProjects::decode(bytes, &decodedHeader, &decodedRows, &skipped, &kept);
    FUZZ_CHECK(decodedRows == rows);
    FUZZ_CHECK(kept.size() == skipped.lineNumbers.size());
    for (qsizetype i = 1; i < skipped.lineNumbers.size(); ++i)
        FUZZ_CHECK(skipped.lineNumbers[i - 1] < skipped.lineNumbers[i]);

    FUZZ_CHECK(projects.SaveProjectFile(QStringLiteral("Fuzz.QPJ"), rows));
    QByteArray saved;
    FUZZ_CHECK(readWholeFile(path, &saved, nullptr));
    QList<TProjectRow> again;
    FUZZ_CHECK(projects.LoadProjectFile(path, &again));
    // A kept line may read as a row once it follows the rows (a damaged
    // header read as Windows-1252 text); the rows that were there come first.
    FUZZ_CHECK(again.mid(0, rows.size()) == rows);
    FUZZ_CHECK((QStringList{projects.CurrentProjectName, projects.CurrentWebsiteType, projects.CurrentLanguage,
                            projects.CurrentNotes}) == header);
    // The lines kept unread may split differently once they follow the
    // rows (a bare LF inside one then ends a line, written back as CR LF,
    // and a blank line in it is dropped), but nothing else of them changes.
    if (again.size() != rows.size())
        return 0;
    FUZZ_CHECK(projects.SaveProjectFile(QStringLiteral("Fuzz.QPJ"), again));
    QByteArray savedAgain;
    FUZZ_CHECK(readWholeFile(path, &savedAgain, nullptr));
    FUZZ_CHECK(nonBlankLines(savedAgain) == nonBlankLines(saved));
    return 0;
}
