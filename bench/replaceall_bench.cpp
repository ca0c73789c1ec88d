// Replace All on generated pages: a 1.8 MB page and a 50 MiB one, one common
// word replaced throughout, in the editor's own buffer (QScintilla).
#include "benchsupport.h"
#include "editortypes.h"
#include "tmemosource.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <ctime>

using namespace Quorvant;

namespace {

QTemporaryDir *gDir = nullptr;

// CPU time of this thread: on a machine shared with builds the wall clock
// also counts the waits for a core.
double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1000.0 + double(ts.tv_nsec) / 1e6;
}

QString fixture(qint64 bytes)
{
    const QString path = gDir->filePath(QStringLiteral("page-%1.html").arg(bytes));
    if (!QFile::exists(path) && !QuorvantBench::makeHtmlFixture(path, bytes, false))
        return {};
    return path;
}

void replaceAll(benchmark::State &state, qint64 bytes, const char *word)
{
    const QString path = fixture(bytes);
    TMemoSource buffer;
    SearchOptions o;
    o.text = QLatin1String(word);
    o.caseSensitive = true;
    const QString replacement = QString::fromLatin1(word).toUpper();
    int count = 0;
    double cpuMs = 0;
    for (auto _ : state) {
        QString error;
        if (!buffer.loadFromFile(path, &error)) {
            state.SkipWithError("cannot load the page");
            return;
        }
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = threadCpuMs();
        count = buffer.replaceAll(o, replacement);
        state.SetIterationTime(QuorvantBench::msSince(t0) / 1000.0);
        cpuMs += threadCpuMs() - c0;
        if (count <= 0 || buffer.text().contains(o.text)) {
            state.SkipWithError("not every match was replaced");
            return;
        }
    }
    state.counters["matches"] = count;
    state.counters["cpu_ms"] = cpuMs / double(qMax<qint64>(1, state.iterations()));
}

} // namespace

int main(int argc, char **argv)
{
    QuorvantBench::prepareOffscreenRun();
    QApplication app(argc, argv);
    if (!QuorvantBench::initBenchmarkArguments(argc, argv))
        return 2;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    gDir = &dir;
    const qint64 small = 1800 * 1000;
    const qint64 big = 50 * QuorvantBench::MiB;
    benchmark::RegisterBenchmark("ReplaceAll/page_1.8MB", [=](benchmark::State &s) { replaceAll(s, small, "td"); })
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("ReplaceAll/page_50MiB", [=](benchmark::State &s) { replaceAll(s, big, "td"); })
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gDir = nullptr;
    return 0;
}
