// Tools > "Validate Page (W3C)" on a 1 MiB page: the W3C Nu Html Checker run
// in the background as the command runs it (page on standard input, Java
// started anew each time), from start until its messages are read.
// Counters: messages (what the checker reported on the page),
// checker_cpu_ms (user + system time of the checker's process, per run: the
// wall time on a machine with nothing else to do) and max_ui_gap_ms, the longest wait between two ticks of a 10 ms timer while
// the checker ran (how long the window could not have answered).
// The checker is the one scripts/dev installs (QUORVANT_VNU_JAR overrides).
#include "benchsupport.h"
#include "w3cvalidator.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>

#include <sys/resource.h>

using namespace Quorvant;
using namespace QuorvantBench;

namespace {

QByteArray gPage;

// CPU time of the ended child processes so far.
double childCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval &t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void BM_ValidatePage(benchmark::State &state)
{
    const TVnuSetup setup = findVnu({}, {QStringLiteral(QUORVANT_VNU_JAR)});
    if (!setup.isComplete()) {
        state.SkipWithError("Java or vnu.jar is missing: run scripts/dev install-validator");
        return;
    }
    int messages = 0;
    double maxGap = 0;
    const double cpuBefore = childCpuMs();
    for (auto _ : state) {
        TVnuRun run;
        QEventLoop loop;
        QObject::connect(&run, &TVnuRun::finished, &loop, [&](const TVnuOutcome &outcome) {
            messages = int(outcome.messages.size());
            if (outcome.status != TVnuOutcome::Status::Finished)
                state.SkipWithError(qPrintable(QStringLiteral("the checker failed: ") + outcome.errorText));
            loop.quit();
        });
        QTimer ticks;
        auto last = std::chrono::steady_clock::now();
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            maxGap = std::max(maxGap, msSince(last));
            last = std::chrono::steady_clock::now();
        });
        ticks.start(10);
        const auto t0 = std::chrono::steady_clock::now();
        QString error;
        if (!run.start(setup, gPage, &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        loop.exec();
        state.SetIterationTime(msSince(t0) / 1000.0);
    }
    state.counters["messages"] = messages;
    state.counters["checker_cpu_ms"] = (childCpuMs() - cpuBefore) / double(state.iterations());
    state.counters["max_ui_gap_ms"] = maxGap;
}

} // namespace

BENCHMARK(BM_ValidatePage)->Name("Validate/w3c_1MiB")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    installQuietMessageHandler();
    if (!initBenchmarkArguments(argc, argv))
        return 2;
    QTemporaryDir dir;
    if (!tempDirReady(dir))
        return 1;
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    QFile file(path);
    if (!makeHtmlFixture(path, MiB, false) || !file.open(QIODevice::ReadOnly))
        return 1;
    gPage = file.readAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
