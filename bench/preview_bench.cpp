// F11 on a 1 MiB HTML document: from the key's command until the preview
// page's browser has loaded the document, on the real main window shown
// offscreen. The first showing creates the browser engine and is timed on
// its own.
#include "subsystems.h"
#include "benchsupport.h"
#include "benchwindow.h"
#include "browserpage.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "tagscanning.h"
#include "tmemosource.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <chrono>
#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace Quorvant;
using namespace QuorvantBench;

namespace {

constexpr int LoadTimeoutMs = 120000;

struct Bench
{
    QTemporaryDir dir;
    QString html1;
    int sections = 0;  // <div class="section"> elements in the file
    std::unique_ptr<TForm1> window;
    int runs = 0;
};
Bench *gBench = nullptr;

struct Showing
{
    double callMs = 0;   // previewByKey() itself
    double totalMs = 0;  // until loadFinished(true)
    int failedLoads = 0; // loadFinished(false) on the way
    const char *fault = nullptr;
};

// F11, then the event loop runs until the browser reports the page loaded.
// The browser may not exist before the call; it does once the call returns,
// and the load it starts cannot finish before the event loop runs.
Showing pressF11()
{
    Showing s;
    TForm1 *window = gBench->window.get();
    const auto t0 = std::chrono::steady_clock::now();
    window->previewByKey();
    s.callMs = msSince(t0);
    auto *view = qobject_cast<QWebEngineView *>(window->previewPage()->browser());
    if (!view) {
        s.fault = "the preview page has no browser";
        return s;
    }
    QEventLoop loop;
    bool loaded = false;
    std::chrono::steady_clock::time_point finished;
    const auto connection = QObject::connect(view, &QWebEngineView::loadFinished, &loop, [&](bool ok) {
        if (!ok) {
            ++s.failedLoads;
            return;
        }
        finished = std::chrono::steady_clock::now();
        loaded = true;
        loop.quit();
    });
    QTimer::singleShot(LoadTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    if (!loaded) {
        s.fault = "the browser did not finish loading the preview";
        return s;
    }
    s.totalMs = std::chrono::duration<double, std::milli>(finished - t0).count();
    return s;
}

// The page shows the document as it is now: the preview file holds the
// whole document, the browser shows that file, with the document's title
// and every section.
const char *checkShown(const QString &title)
{
    TForm1 *window = gBench->window.get();
    TBrowserPage *page = window->previewPage();
    auto *view = qobject_cast<QWebEngineView *>(page->browser());
    const QString file = window->previewFileName();
    if (window->tabholder()->currentIndex() != 1 || !page->isVisible())
        return "the preview page is not showing";
    if (QFileInfo(file).size() != window->documents()->currentBuffer()->byteLength())
        return "the preview file does not hold the whole document";
    if (view->url() != QUrl::fromLocalFile(file))
        return "the browser does not show the preview file";
    if (!QTest::qWaitFor([&] { return view->title() == title; }, 10000))
        return "the browser does not show the document's title";
    int sections = -1;
    view->page()->runJavaScript(QStringLiteral("document.querySelectorAll('div.section').length"),
                                [&sections](const QVariant &v) { sections = v.toInt(); });
    if (!QTest::qWaitFor([&] { return sections >= 0; }, 10000) || sections != gBench->sections)
        return "the browser does not show every section of the document";
    return nullptr;
}

// A change of the document between two presses, so every showing has new
// text to show: the title names the run.
QString retitle()
{
    TMemoSource *buffer = gBench->window->documents()->currentBuffer();
    const PageTitleInfo info = FindPageTitle(buffer);
    if (!info.found)
        return {};
    const QString title = QStringLiteral("Preview run %1").arg(++gBench->runs);
    buffer->setSelection({info.start, info.end});
    buffer->setSelText(QStringLiteral("<title>") + title + QStringLiteral("</title>"));
    buffer->setCaretPoint({0, 0});
    return title;
}

void backToEditor()
{
    gBench->window->tabholder()->setCurrentIndex(0);
    QCoreApplication::processEvents();
}

void setShowingCounters(benchmark::State &state, const Samples &total, const Samples &call, int failedLoads)
{
    state.counters["median_ms"] = total.median();
    state.counters["max_ms"] = total.max();
    state.counters["call_median_ms"] = call.median();
    state.counters["failed_loads"] = failedLoads;
}

// The first F11 of the process: the page is shown for the first time and
// creates its browser, whose engine starts then.
void BM_FirstShowing(benchmark::State &state)
{
    Samples total, call;
    int failedLoads = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (gBench->window->previewPage()->browser()) {
            state.SkipWithError("the preview browser exists already: run this benchmark first");
            break;
        }
        backToEditor();
        const QString title = retitle();
        state.ResumeTiming();

        const Showing s = pressF11();
        state.SetIterationTime(s.totalMs / 1000.0);

        state.PauseTiming();
        total.add(s.totalMs);
        call.add(s.callMs);
        failedLoads += s.failedLoads;
        const char *fault = s.fault ? s.fault : title.isEmpty() ? "the document has no title" : checkShown(title);
        if (fault) {
            state.SkipWithError(fault);
            break;
        }
        if (QuorvantBench::failIfDialogs(state))
            break;
        state.ResumeTiming();
    }
    setShowingCounters(state, total, call, failedLoads);
}

// Later presses: the editor page is current again and the document changed.
void BM_LaterShowing(benchmark::State &state)
{
    if (!gBench->window->previewPage()->browser()) {
        // Run on its own: the engine starts here, outside the figures.
        const Showing warmUp = pressF11();
        if (warmUp.fault) {
            state.SkipWithError(warmUp.fault);
            return;
        }
    }
    Samples total, call;
    int failedLoads = 0;
    for (auto _ : state) {
        state.PauseTiming();
        backToEditor();
        const QString title = retitle();
        state.ResumeTiming();

        const Showing s = pressF11();
        state.SetIterationTime(s.totalMs / 1000.0);

        state.PauseTiming();
        total.add(s.totalMs);
        call.add(s.callMs);
        failedLoads += s.failedLoads;
        const char *fault = s.fault ? s.fault : title.isEmpty() ? "the document has no title" : checkShown(title);
        if (fault) {
            state.SkipWithError(fault);
            break;
        }
        if (QuorvantBench::failIfDialogs(state))
            break;
        state.ResumeTiming();
    }
    setShowingCounters(state, total, call, failedLoads);
}

} // namespace

int main(int argc, char **argv)
{
    prepareOffscreenRun();
    prepareBrowserEngine();
    QApplication app(argc, argv);
    if (!initBenchmarkArguments(argc, argv))
        return 2;
    MessageService::setTestHookEnabled(true);

    Bench bench;
    gBench = &bench;
    if (!tempDirReady(bench.dir))
        return 1;
    bench.html1 = bench.dir.filePath(QStringLiteral("page-1.html"));
    std::fprintf(stderr, "generating the document in %s ...\n", qPrintable(bench.dir.path()));
    QFile file(bench.html1);
    if (!makeHtmlFixture(bench.html1, 1 * MiB, false) || !file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot write the document\n");
        return 1;
    }
    bench.sections = int(file.readAll().count("<div class=\"section\""));
    file.close();

    bench.window = showMainWindow();
    if (!bench.window->documents()->OpenFile(bench.html1) || !MessageService::takeRecorded().isEmpty()) {
        std::fprintf(stderr, "cannot open the document\n");
        return 1;
    }
    QCoreApplication::processEvents();

    using benchmark::kMillisecond;
    benchmark::RegisterBenchmark("Preview/F11_html_1MiB/first_showing", BM_FirstShowing)
        ->UseManualTime()->Unit(kMillisecond)->Iterations(1);
    benchmark::RegisterBenchmark("Preview/F11_html_1MiB/later_showing", BM_LaterShowing)
        ->UseManualTime()->Unit(kMillisecond)->Iterations(10);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (TMemoSource *buffer = bench.window->documents()->currentBuffer())
        buffer->setModified(false);
    bench.window.reset();
    gBench = nullptr;
    return 0;
}
