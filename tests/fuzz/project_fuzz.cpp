// Local project files ("Projects/<title>.QPJ"): whatever a file holds, the
// program saves back what it loaded (header, rows, and the lines it could
// not read) so that loading the saved file gives the same again.
#include "fuzzsupport.h"

#include "tlocalprojects.h"

using namespace Quorvant;

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
    QList<TProjectRow> again;
    FUZZ_CHECK(projects.LoadProjectFile(path, &again));
    FUZZ_CHECK(again == rows);
    FUZZ_CHECK((QStringList{projects.CurrentProjectName, projects.CurrentWebsiteType, projects.CurrentLanguage,
                            projects.CurrentNotes}) == header);
    FUZZ_CHECK(projects.skippedLines().lineNumbers.size() == skipped.lineNumbers.size());
    return 0;
}
