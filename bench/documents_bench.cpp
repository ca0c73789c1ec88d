// Timings of the document set on big HTML files, on the real main window
// shown offscreen: opening a file, switching tabs, saving and typing.
//
// Extra modes, used by run-benchmarks.sh:
//   --make-fixture html|line MEGABYTES PATH   writes one generated HTML file
//   --open-peak PATH                          opens PATH once, prints memory
#include "subsystems.h"
#include "appglobals.h"
#include "benchsupport.h"
#include "benchwindow.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "scintillawidget.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

using namespace Quorvant;

namespace {

constexpr qint64 MiB = 1024 * 1024;

bool makeFixture(const QString &path, qint64 bytes, bool singleLine)
{
    return QuorvantBench::makeHtmlFixture(path, bytes, singleLine);
}

using QuorvantBench::msSince;

// ---------------------------------------------------------------------------

qint64 procStatusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}


class PaintCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// The window every timing runs on, and the generated files.
struct Bench
{
    QTemporaryDir dir;
    QString html50, html20a, html20b, line10, save50;
    std::unique_ptr<TForm1> window;
    PaintCounter paints;

    TDocumentSet *docs() const { return window->documents(); }
    ScintillaWidget *editor() const { return window->DCMemo1()->widget(); }
};
Bench *gBench = nullptr;

std::unique_ptr<TForm1> showWindow(PaintCounter *paints)
{
    auto window = std::make_unique<TForm1>();
    installSubsystems(*window);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        std::fprintf(stderr, "warning: the window was not exposed\n");
    window->activateWindow();
    if (paints)
        window->DCMemo1()->widget()->viewport()->installEventFilter(paints);
    QCoreApplication::processEvents();
    return window;
}

// Paints the editor now, as the event loop would after the user's action;
// false when the editor's text area was not painted.
bool repaintEditor()
{
    const int before = gBench->paints.count;
    gBench->editor()->repaint();
    return gBench->paints.count > before;
}

// Opens a file and moves the caret (and the view) to its middle line, so the
// document is styled and shown there as after the user scrolled to it.
bool openAtMiddle(const QString &path)
{
    if (!gBench->docs()->OpenFile(path))
        return false;
    TMemoSource *buffer = gBench->docs()->currentBuffer();
    buffer->setCaretPoint({0, buffer->lineCount() / 2});
    const bool painted = repaintEditor();
    QCoreApplication::processEvents();
    return painted;
}

void setCounters(benchmark::State &state, const char *name, double total, double worst)
{
    state.counters[std::string(name) + "_ms"] = benchmark::Counter(total, benchmark::Counter::kAvgIterations);
    state.counters[std::string(name) + "_max_ms"] = worst;
}

// ---------------------------------------------------------------------------

void BM_Open(benchmark::State &state, const QString &path, bool singleLine)
{
    TDocumentSet *docs = gBench->docs();
    const qint64 bytes = QFileInfo(path).size();
    double openTotal = 0, openWorst = 0, paintTotal = 0, paintWorst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QuorvantBench::closeAllDocuments(gBench->docs());
        state.ResumeTiming();

        const auto t0 = std::chrono::steady_clock::now();
        const bool opened = docs->OpenFile(path);
        const double openMs = msSince(t0);
        const auto t1 = std::chrono::steady_clock::now();
        const bool painted = repaintEditor();
        const double paintMs = msSince(t1);
        state.SetIterationTime(openMs / 1000.0);

        state.PauseTiming();
        openTotal += openMs;
        openWorst = qMax(openWorst, openMs);
        paintTotal += paintMs;
        paintWorst = qMax(paintWorst, paintMs);
        if (QuorvantBench::failIfDialogs(state, singleLine))
            break;
        TMemoSource *buffer = docs->currentBuffer();
        if (!opened || !buffer || docs->PagesOpen() != 1 || buffer->byteLength() != bytes) {
            state.SkipWithError("the file was not opened whole");
            break;
        }
        if (singleLine && buffer->lineCount() != 1) {
            state.SkipWithError("the single-line file has more than one line");
            break;
        }
        if (!painted) {
            state.SkipWithError("the editor was not painted");
            break;
        }
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    setCounters(state, "open", openTotal, openWorst);
    setCounters(state, "first_paint", paintTotal, paintWorst);
    state.counters["file_MiB"] = double(bytes) / MiB;
    QuorvantBench::closeAllDocuments(gBench->docs());
}

// A user's tab switch: the tab bar's current index changes, then the editor
// paints the other document where its view was left.
void BM_SwitchTabs(benchmark::State &state, bool atMiddle)
{
    TDocumentSet *docs = gBench->docs();
    QTabBar *tabs = gBench->window->PageSelector();
    QuorvantBench::closeAllDocuments(gBench->docs());
    const bool ready = atMiddle ? openAtMiddle(gBench->html20a) && openAtMiddle(gBench->html20b)
                                : docs->OpenFile(gBench->html20a) && docs->OpenFile(gBench->html20b) && repaintEditor();
    if (!ready || docs->PagesOpen() != 2 || QuorvantBench::failIfDialogs(state)) {
        state.SkipWithError("could not open the two documents");
        return;
    }
    QCoreApplication::processEvents();
    double worst = 0, eventsTotal = 0;
    for (auto _ : state) {
        const int target = 1 - tabs->currentIndex();
        const auto t0 = std::chrono::steady_clock::now();
        tabs->setCurrentIndex(target);
        const bool painted = repaintEditor();
        const double ms = msSince(t0);
        state.SetIterationTime(ms / 1000.0);

        state.PauseTiming();
        worst = qMax(worst, ms);
        // Work the switch left for the event loop, timed on its own.
        const auto t1 = std::chrono::steady_clock::now();
        QCoreApplication::processEvents();
        eventsTotal += msSince(t1);
        TMemoSource *shown = gBench->window->DCMemo1()->memoSource();
        if (docs->currentIndex() != target || shown != gMemoData.value(target) || !painted) {
            state.SkipWithError("the switch did not show the other document");
            break;
        }
        const int firstVisible = gBench->editor()->firstVisibleLine();
        if (atMiddle && firstVisible < shown->lineCount() / 4) {
            state.SkipWithError("the view did not come back to where it was left");
            break;
        }
        state.ResumeTiming();
    }
    state.counters["switch_max_ms"] = worst;
    state.counters["events_after_ms"] = benchmark::Counter(eventsTotal, benchmark::Counter::kAvgIterations);
    QuorvantBench::closeAllDocuments(gBench->docs());
}

// Ctrl+S on a 50 MiB document just edited in its middle.
void BM_Save(benchmark::State &state)
{
    TDocumentSet *docs = gBench->docs();
    QuorvantBench::closeAllDocuments(gBench->docs());
    if (!openAtMiddle(gBench->save50) || QuorvantBench::failIfDialogs(state)) {
        state.SkipWithError("could not open the document");
        return;
    }
    TMemoSource *buffer = docs->currentBuffer();
    double worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTest::keyClick(gBench->editor(), 'x');
        QCoreApplication::processEvents();
        if (!buffer->isModified()) {
            state.SkipWithError("typing did not modify the document");
            break;
        }
        state.ResumeTiming();

        const auto t0 = std::chrono::steady_clock::now();
        const SaveResult result = docs->save();
        const double ms = msSince(t0);
        state.SetIterationTime(ms / 1000.0);

        state.PauseTiming();
        worst = qMax(worst, ms);
        if (QuorvantBench::failIfDialogs(state))
            break;
        if (result != SaveResult::Saved || buffer->isModified()
            || QFileInfo(gBench->save50).size() != buffer->byteLength()) {
            state.SkipWithError("the document was not saved whole");
            break;
        }
        state.ResumeTiming();
    }
    state.counters["save_max_ms"] = worst;
    state.counters["file_MiB"] = double(buffer->byteLength()) / MiB;
    QuorvantBench::closeAllDocuments(gBench->docs());
}

// One typed character: the key press and release as the window gets them,
// then the paint that shows it.
void BM_Typing(benchmark::State &state, const QString &path)
{
    TDocumentSet *docs = gBench->docs();
    QuorvantBench::closeAllDocuments(gBench->docs());
    if (path.isEmpty()) {
        docs->blankDocument();
        repaintEditor();
    } else if (!openAtMiddle(path)) {
        state.SkipWithError("could not open the document");
        return;
    }
    if (QuorvantBench::failIfDialogs(state))
        return;
    ScintillaWidget *editor = gBench->editor();
    editor->setFocus();
    QCoreApplication::processEvents();
    TMemoSource *buffer = docs->currentBuffer();
    const qint64 startLength = buffer->byteLength();

    // The first key moves the buffer's gap to the caret; timed on its own.
    const auto t0 = std::chrono::steady_clock::now();
    QTest::keyClick(editor, '<');
    repaintEditor();
    const double firstMs = msSince(t0);
    QCoreApplication::processEvents();

    static const char typed[] = "p class=\"note\">the quick brown fox jumps over the lazy dog</p> ";
    qsizetype next = 0;
    double worst = 0, eventsTotal = 0;
    for (auto _ : state) {
        const char c = typed[next++ % (sizeof(typed) - 1)];
        const auto t1 = std::chrono::steady_clock::now();
        QTest::keyClick(editor, c);
        const bool painted = repaintEditor();
        const double ms = msSince(t1);
        state.SetIterationTime(ms / 1000.0);

        state.PauseTiming();
        worst = qMax(worst, ms);
        const auto t2 = std::chrono::steady_clock::now();
        QCoreApplication::processEvents();
        eventsTotal += msSince(t2);
        if (!painted) {
            state.SkipWithError("the editor was not painted");
            break;
        }
        state.ResumeTiming();
    }
    if (!QuorvantBench::failIfDialogs(state) && buffer->byteLength() != startLength + 1 + qint64(state.iterations()))
        state.SkipWithError("not every key reached the document");
    state.counters["first_key_ms"] = firstMs;
    state.counters["key_max_ms"] = worst;
    state.counters["events_after_ms"] = benchmark::Counter(eventsTotal, benchmark::Counter::kAvgIterations);
    state.counters["doc_MiB"] = double(startLength) / MiB;
    QuorvantBench::closeAllDocuments(gBench->docs());
}

// The offscreen platform warns on every window it shows; that says nothing
// about the figures.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtWarningMsg && text.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

// ---------------------------------------------------------------------------

int makeFixtureMode(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s --make-fixture html|line MEGABYTES PATH\n", argv[0]);
        return 2;
    }
    const bool singleLine = std::strcmp(argv[2], "line") == 0;
    const qint64 bytes = qint64(std::atof(argv[3]) * MiB);
    if (!makeFixture(QString::fromLocal8Bit(argv[4]), bytes, singleLine)) {
        std::fprintf(stderr, "cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}

// Opens one file in a fresh window and prints how much memory that took:
// the peak resident size after opening and painting, minus the peak before.
int openPeakMode(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s --open-peak PATH\n", argv[0]);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[2]);
    QApplication app(argc, argv);
    MessageService::setTestHookEnabled(true);
    Bench bench;
    gBench = &bench;
    bench.window = showWindow(&bench.paints);
    const qint64 baseHwm = procStatusKb("VmHWM");
    const qint64 baseRss = procStatusKb("VmRSS");
    const auto t0 = std::chrono::steady_clock::now();
    const bool opened = bench.docs()->OpenFile(path);
    const double openMs = msSince(t0);
    const bool painted = repaintEditor();
    QCoreApplication::processEvents();
    const double totalMs = msSince(t0);
    const qint64 peakHwm = procStatusKb("VmHWM");
    const qint64 afterRss = procStatusKb("VmRSS");
    const qint64 fileBytes = QFileInfo(path).size();
    const bool whole = opened && bench.docs()->currentBuffer()
                       && bench.docs()->currentBuffer()->byteLength() == fileBytes;
    std::printf("file_bytes=%lld\n", qint64(fileBytes));
    std::printf("open_ms=%.1f\nopen_and_paint_ms=%.1f\n", openMs, totalMs);
    std::printf("baseline_hwm_kb=%lld\nbaseline_rss_kb=%lld\n", baseHwm, baseRss);
    std::printf("peak_hwm_kb=%lld\nrss_after_kb=%lld\n", peakHwm, afterRss);
    std::printf("peak_delta_kb=%lld\n", peakHwm - baseHwm);
    std::printf("peak_delta_per_file_byte=%.2f\n", double(peakHwm - baseHwm) * 1024.0 / double(qMax<qint64>(1, fileBytes)));
    std::printf("opened_whole=%d\npainted=%d\n", int(whole), int(painted));
    bench.window.reset();
    gBench = nullptr;
    return whole && painted ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    if (argc > 1 && std::strcmp(argv[1], "--make-fixture") == 0)
        return makeFixtureMode(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--open-peak") == 0)
        return openPeakMode(argc, argv);

    QApplication app(argc, argv);
    if (!QuorvantBench::initBenchmarkArguments(argc, argv))
        return 2;
    MessageService::setTestHookEnabled(true);

    Bench bench;
    gBench = &bench;
    if (!QuorvantBench::tempDirReady(bench.dir))
        return 1;
    const auto fixture = [&bench](const char *name) { return bench.dir.filePath(QLatin1String(name)); };
    bench.html50 = fixture("page-50.html");
    bench.html20a = fixture("page-20a.html");
    bench.html20b = fixture("page-20b.html");
    bench.line10 = fixture("single-line-10.html");
    bench.save50 = fixture("save-50.html");
    std::fprintf(stderr, "generating fixtures in %s ...\n", qPrintable(bench.dir.path()));
    if (!makeFixture(bench.html50, 50 * MiB, false) || !makeFixture(bench.html20a, 20 * MiB, false)
        || !makeFixture(bench.html20b, 20 * MiB, false) || !makeFixture(bench.line10, 10 * MiB, true)
        || !QFile::copy(bench.html50, bench.save50)) {
        std::fprintf(stderr, "cannot write the fixtures\n");
        return 1;
    }
    bench.window = showWindow(&bench.paints);

    using benchmark::kMillisecond;
    benchmark::RegisterBenchmark("Open/html_50MiB", [&bench](benchmark::State &s) { BM_Open(s, bench.html50, false); })
        ->UseManualTime()->Unit(kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("Open/single_line_10MiB", [&bench](benchmark::State &s) { BM_Open(s, bench.line10, true); })
        ->UseManualTime()->Unit(kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("SwitchTabs/2x20MiB/view_at_top", [](benchmark::State &s) { BM_SwitchTabs(s, false); })
        ->UseManualTime()->Unit(kMillisecond)->Iterations(40);
    benchmark::RegisterBenchmark("SwitchTabs/2x20MiB/view_at_middle", [](benchmark::State &s) { BM_SwitchTabs(s, true); })
        ->UseManualTime()->Unit(kMillisecond)->Iterations(40);
    benchmark::RegisterBenchmark("Save/html_50MiB", BM_Save)->UseManualTime()->Unit(kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("Typing/empty", [](benchmark::State &s) { BM_Typing(s, QString()); })
        ->UseManualTime()->Unit(kMillisecond)->Iterations(300);
    benchmark::RegisterBenchmark("Typing/html_50MiB", [&bench](benchmark::State &s) { BM_Typing(s, bench.html50); })
        ->UseManualTime()->Unit(kMillisecond)->Iterations(100);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench.window.reset();
    gBench = nullptr;
    return 0;
}
