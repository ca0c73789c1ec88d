// A keystroke in a 50 MB modified document on the real main window, with no
// recovery write going on and while the recovery writer writes the document
// on its thread; also the copy the writer is handed (taken on the window's
// thread once typing has stopped) and the write itself.
#include "appglobals.h"
#include "benchsupport.h"
#include "benchwindow.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "recoverykeeper.h"
#include "recoverywriter.h"
#include "scintillawidget.h"
#include "subsystems.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <memory>

using namespace Quorvant;
using namespace QuorvantBench;

namespace {

struct Bench
{
    QTemporaryDir dir;
    std::unique_ptr<TForm1> window;
    TRecoveryKeeper *keeper = nullptr;
};
Bench *gBench = nullptr;

double keystroke()
{
    ScintillaWidget *editor = gBench->window->DCMemo1()->widget();
    const auto t0 = std::chrono::steady_clock::now();
    QTest::keyClick(editor->viewport(), Qt::Key_X);
    editor->viewport()->repaint();
    return msSince(t0);
}

enum class Write { None, During, JustFinished };

void BM_Keystroke(benchmark::State &state, Write mode)
{
    TMemoSource *buffer = gBench->window->documents()->currentBuffer();
    Samples samples, remaining, copies;
    for (auto _ : state) {
        if (mode != Write::None) {
            const auto c0 = std::chrono::steady_clock::now();
            gBench->keeper->writeNow(buffer);
            copies.add(msSince(c0));
            if (mode == Write::JustFinished)
                gBench->keeper->writer()->waitUntilIdle();
        }
        const double ms = keystroke();
        samples.add(ms);
        state.SetIterationTime(ms / 1000.0);
        // How long the write still ran after the key: it overlapped the key.
        const auto w0 = std::chrono::steady_clock::now();
        gBench->keeper->writer()->waitUntilIdle();
        remaining.add(msSince(w0));
        QTest::qWait(5);
    }
    state.counters["median_ms"] = samples.median();
    state.counters["max_ms"] = samples.max();
    if (mode == Write::During) {
        state.counters["write_left_after_key_ms"] = remaining.median();
        state.counters["copy_before_write_ms"] = copies.median();
    }
    failIfDialogs(state);
}

} // namespace

int main(int argc, char **argv)
{
    prepareOffscreenRun();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Bench bench;
    gBench = &bench;
    DataFolder::setPath(bench.dir.filePath(QStringLiteral("data")));
    const QString html = bench.dir.filePath(QStringLiteral("big.htm"));
    if (!makeHtmlFixture(html, 50 * MiB, false))
        return 1;
    resetAppGlobals();
    bench.window = std::make_unique<TForm1>();
    installSubsystems(*bench.window);
    bench.window->resize(1000, 700);
    bench.window->show();
    bench.keeper = bench.window->findChild<TRecoveryKeeper *>();
    if (!bench.keeper || !bench.keeper->isActive())
        return 1;
    // Only the writes the benchmark asks for.
    bench.keeper->setDelays(3600 * 1000, 3600 * 1000);
    bench.window->documents()->OpenFile(html);
    TMemoSource *buffer = bench.window->documents()->currentBuffer();
    buffer->setCaretPoint({0, buffer->lineCount() / 2});
    bench.window->DCMemo1()->widget()->setFocus();
    keystroke();  // modified from here on
    QTest::qWait(200);

    using benchmark::kMillisecond;
    benchmark::RegisterBenchmark("Keystroke/html_50MiB/no_recovery_write", BM_Keystroke, Write::None)
        ->UseManualTime()->Unit(kMillisecond)->Iterations(20);
    benchmark::RegisterBenchmark("Keystroke/html_50MiB/during_recovery_write", BM_Keystroke, Write::During)
        ->UseManualTime()->Unit(kMillisecond)->Iterations(20);
    // The same copy taken, its write already done: what the write itself adds.
    benchmark::RegisterBenchmark("Keystroke/html_50MiB/after_recovery_write", BM_Keystroke, Write::JustFinished)
        ->UseManualTime()->Unit(kMillisecond)->Iterations(20);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    buffer->setModified(false);
    bench.keeper->writer()->waitUntilIdle();
    closeAllDocuments(bench.window->documents());
    bench.window.reset();
    return 0;
}
