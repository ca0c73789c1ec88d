// Find in files over 5,000 generated HTML files (200 MB, warm cache) against
// `grep -rl` on the same tree in the same run, and saving a 2,000-row project.
#include "tfindinfiles.h"
#include "tlocalprojects.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

using namespace Quorvant;

namespace {

constexpr int FileCount = 5000;
constexpr int FileSize = 40 * 1000;  // 5,000 x 40 kB = 200 MB
const QByteArray Needle = "QuorvantNeedle";

// Files in 50 folders; every 100th holds the text near its end, so nearly
// every file is read to its end by both programs.
struct Tree
{
    QTemporaryDir dir;
    int hits = 0;
    Tree()
    {
        QByteArray page;
        const QByteArray line = "<p class=\"x\">Lorem ipsum dolor sit amet, <b>consectetur</b> adipiscing elit.</p>\r\n";
        page.append("<html><head><title>t</title></head><body>\r\n");
        while (page.size() < FileSize - 200)
            page.append(line);
        for (int i = 0; i < FileCount; ++i) {
            const QString folder = dir.filePath(QStringLiteral("site/d%1").arg(i % 50));
            QDir().mkpath(folder);
            QFile f(folder + QStringLiteral("/p%1.html").arg(i));
            if (!f.open(QIODevice::WriteOnly))
                std::abort();
            QByteArray body = page;
            if (i % 100 == 0) {
                body.append("<p>" + Needle + "</p>\r\n");
                ++hits;
            }
            body.append("</body></html>\r\n");
            f.write(body);
        }
    }
    QString root() const { return dir.filePath(QStringLiteral("site")); }
};

Tree &tree()
{
    static Tree t;
    return t;
}

long maxRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

int runEngine(bool matchCase)
{
    TFindInFiles engine;
    int found = 0;
    QObject::connect(&engine, &TFindInFiles::found, [&found] { ++found; });
    engine.FindInFiles(QString::fromLatin1(Needle), tree().root(), QStringLiteral("*.html"), true, matchCase);
    engine.wait();
    QCoreApplication::processEvents();
    return found;
}

int runGrep(bool ignoreCase)
{
    QProcess grep;
    QStringList args{QStringLiteral("-rl")};
    if (ignoreCase)
        args << QStringLiteral("-i");
    args << QStringLiteral("--include=*.html") << QString::fromLatin1(Needle) << tree().root();
    grep.start(QStringLiteral("grep"), args);
    grep.waitForFinished(-1);
    return int(grep.readAllStandardOutput().count('\n'));
}

// One iteration times both, so the ratio is measured under the same load.
void FindInFilesVsGrep(benchmark::State &state)
{
    const bool matchCase = state.range(0) != 0;
    Tree &t = tree();
    runGrep(!matchCase);  // warm the cache
    runEngine(matchCase);
    const long rssBefore = maxRssKb();
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const int found = runEngine(matchCase);
        const double a = double(timer.nsecsElapsed()) / 1e9;
        timer.restart();
        const int grepped = runGrep(!matchCase);
        const double b = double(timer.nsecsElapsed()) / 1e9;
        if (found != t.hits || grepped != t.hits) {
            state.SkipWithError("wrong number of files found");
            return;
        }
        ours += a;
        theirs += b;
        state.SetIterationTime(a);
    }
    state.counters["ours_ms"] = ours * 1000 / double(state.iterations());
    state.counters["grep_ms"] = theirs * 1000 / double(state.iterations());
    state.counters["ratio"] = ours / theirs;
    state.counters["peak_rss_rise_MB"] = double(maxRssKb() - rssBefore) / 1024.0;
}
BENCHMARK(FindInFilesVsGrep)->Arg(1)->Arg(0)->ArgName("match_case")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void SaveProject2000Rows(benchmark::State &state)
{
    QTemporaryDir dir;
    TLocalProjects store(dir.path());
    store.CurrentProjectName = QStringLiteral("Site");
    store.CurrentNotes = QStringLiteral("notes, with a comma\r\nand a second line");
    QList<TProjectRow> rows;
    for (int i = 0; i < 2000; ++i)
        rows.append({QStringLiteral("page%1.htm").arg(i), i % 3 ? QStringLiteral("Creating") : QStringLiteral("Waiting, on text"),
                     QStringLiteral("/home/ann/sites/site %1/page%2.htm").arg(i % 7).arg(i)});
    for (auto _ : state) {
        if (!store.SaveProjectFile(QStringLiteral("Site.QPJ"), rows)) {
            state.SkipWithError("save failed");
            return;
        }
    }
    QList<TProjectRow> back;
    if (!store.LoadProjectFile(dir.filePath(QStringLiteral("Projects/Site.QPJ")), &back) || back != rows)
        state.SkipWithError("the saved project does not read back");
}
BENCHMARK(SaveProject2000Rows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
