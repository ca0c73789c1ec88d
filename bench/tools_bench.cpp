// HTML Tidy and the Plugins menu on the real main window shown offscreen.
//
// Tidy/command_1MiB: "Apply source formatting" on a 1 MiB document, from the
// command until the question whether to keep the result is asked (the report
// viewer is closed as soon as it shows); before each, the `tidy` program run
// by hand on the page the program hands over (same bytes, configuration and
// arguments). Counters: by_hand_median_ms, ratio_to_by_hand (median over
// median) and max_ui_gap_ms, the longest wait between two ticks of a
// 10 ms timer while the tool ran (how long the window could not answer).
// Plugins/open_menu_10MiB: opening the Plugins menu with a 10 MiB document.
// Plugins/pick_word_count_10MiB: picking the Word Count example until it
// shows its count.
#include "benchsupport.h"
#include "subsystems.h"
#include "benchwindow.h"
#include "datafolder.h"
#include "documentset.h"
#include "installtools.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "mnuquickview.h"
#include "plugins.h"
#include "tidycommands.h"
#include "tidyconfig.h"
#include "tidypagecodec.h"
#include "tmemosource.h"
#include "toolsglobals.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <memory>

using namespace Quorvant;
using namespace QuorvantBench;

namespace {

struct Bench
{
    QTemporaryDir dir;
    std::unique_ptr<TForm1> window;
    QString tidy;
    QString page1;      // 1 MiB fixture
    QString page10;     // 10 MiB fixture
};
Bench *gBench = nullptr;

QString tidyFolder()
{
    return gBench->dir.filePath(QStringLiteral("data/Tidy"));
}

void closeDocuments()
{
    closeAllDocuments(gBench->window->documents());
}

void openDocument(const QString &path)
{
    closeDocuments();
    gBench->window->documents()->OpenFile(path);
    QCoreApplication::processEvents();
}

// One run of the tool by hand on the page the program hands over; -1 on failure.
double tidyByHand(const QString &folder, const QByteArray &bytes, const QStringList &encodingArguments)
{
    QFile page(QDir(folder).filePath(QStringLiteral("temp.htm")));
    if (!page.open(QIODevice::WriteOnly) || page.write(bytes) != bytes.size())
        return -1;
    page.close();
    const auto t0 = std::chrono::steady_clock::now();
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(gBench->tidy, QStringList{QStringLiteral("-config"), QStringLiteral("Tidy.Cfg")} + encodingArguments
                              + QStringList{QStringLiteral("-i"), QStringLiteral("-m"), QStringLiteral("temp.htm")});
    p.waitForFinished(120000);
    const double ms = msSince(t0);
    return (p.exitStatus() == QProcess::NormalExit && p.exitCode() <= 1) ? ms : -1;
}

// Each iteration runs the tool by hand, then the command, so both see the
// same load on a shared machine; the iteration time is the command's.
void BM_TidyCommand(benchmark::State &state)
{
    if (gBench->tidy.isEmpty()) {
        state.SkipWithError("tidy is not installed");
        return;
    }
    openDocument(gBench->page1);
    TForm1 *window = gBench->window.get();
    auto *tidy = window->findChild<TTidyCommands *>(QStringLiteral("TidyCommands"));
    QAction *format = window->action(QStringLiteral("Applysourceformatting1"));
    // The bytes and encoding arguments the program hands over with the
    // shipped configuration (the encoding follows the UTF-8 document).
    const QString text = window->documents()->currentBuffer()->text();
    const TidyPageFormat pageFormat = tidyPageFormat(TTidyConfig().CharEncoding, TextEncoding::Utf8, text.toUtf8());
    const QByteArray bytes = encodeTidyPage(text, pageFormat.encoding);
    QTemporaryDir work;
    QFile::copy(QDir(tidyFolder()).filePath(QStringLiteral("Tidy.Cfg")), work.filePath(QStringLiteral("Tidy.Cfg")));
    Samples byHand;
    Samples runs;
    double maxGap = 0;
    for (auto _ : state) {
        const double hand = tidyByHand(work.path(), bytes, pageFormat.arguments);
        if (hand < 0) {
            state.SkipWithError("tidy by hand failed");
            return;
        }
        byHand.add(hand);

        MessageService::resetTestHook();
        MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
        QEventLoop loop;
        std::chrono::steady_clock::time_point asked;
        bool shown = false;
        const auto c = QObject::connect(tidy, &TTidyCommands::resultShown, &loop, [&](TMnuQuickView *viewer) {
            shown = true;
            viewer->done(QDialog::Accepted);  // Done at once: the question follows
            asked = std::chrono::steady_clock::now();
            loop.quit();
        });
        QTimer ticker;
        auto lastTick = std::chrono::steady_clock::now();
        double gap = 0;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            gap = std::max(gap, msSince(lastTick));
            lastTick = std::chrono::steady_clock::now();
        });
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        const auto t0 = std::chrono::steady_clock::now();
        lastTick = t0;
        ticker.start(10);
        format->trigger();
        loop.exec();
        ticker.stop();
        QObject::disconnect(c);
        const QList<RecordedDialog> boxes = MessageService::takeRecorded();
        if (!shown || boxes.size() != 1) {
            state.SkipWithError("no question after the report");
            return;
        }
        const double ms = std::chrono::duration<double, std::milli>(asked - t0).count();
        runs.add(ms);
        maxGap = std::max(maxGap, gap);
        state.SetIterationTime(ms / 1000.0);
        QCoreApplication::processEvents();
    }
    state.counters["by_hand_median_ms"] = byHand.median();
    state.counters["median_ms"] = runs.median();
    state.counters["ratio_to_by_hand"] = runs.median() / byHand.median();
    state.counters["max_ui_gap_ms"] = maxGap;
}

void BM_PluginsMenuOpen(benchmark::State &state)
{
    openDocument(gBench->page10);
    QMenu *menu = gBench->window->pluginsMenu();
    if (menu->actions().isEmpty()) {
        state.SkipWithError("no plug-ins loaded (run from the build folder)");
        return;
    }
    Samples opens;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        menu->popup(gBench->window->mapToGlobal(QPoint(100, 20)));
        QCoreApplication::processEvents();
        const double ms = msSince(t0);
        if (!menu->isVisible()) {
            state.SkipWithError("the menu did not open");
            return;
        }
        opens.add(ms);
        state.SetIterationTime(ms / 1000.0);
        menu->hide();
        QCoreApplication::processEvents();
    }
    state.counters["median_ms"] = opens.median();
    state.counters["max_ms"] = opens.max();
}

void BM_PluginsPickWordCount(benchmark::State &state)
{
    openDocument(gBench->page10);
    QAction *entry = nullptr;
    for (QAction *a : gBench->window->pluginsMenu()->actions())
        if (a->text() == QLatin1String("Word Count"))
            entry = a;
    if (!entry) {
        state.SkipWithError("the Word Count example is not loaded");
        return;
    }
    MessageService::resetTestHook();
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        entry->trigger();
        const double ms = msSince(t0);
        state.SetIterationTime(ms / 1000.0);
        const QList<RecordedDialog> boxes = MessageService::takeRecorded();
        if (boxes.size() != 1 || !boxes.first().text.startsWith(QLatin1String("Words: "))) {
            state.SkipWithError("no word count was shown");
            return;
        }
    }
}

} // namespace

BENCHMARK(BM_TidyCommand)->Name("Tidy/command_1MiB")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(9);
BENCHMARK(BM_PluginsMenuOpen)->Name("Plugins/open_menu_10MiB")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PluginsPickWordCount)->Name("Plugins/pick_word_count_10MiB")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    installQuietMessageHandler();
    Bench bench;
    gBench = &bench;
    DataFolder::setPath(bench.dir.filePath(QStringLiteral("data")));
    QDir().mkpath(tidyFolder());
    if (!TTidyConfig().save(QDir(tidyFolder()).filePath(QStringLiteral("Tidy.Cfg"))))
        return 1;
    bench.tidy = QStandardPaths::findExecutable(QStringLiteral("tidy"));
    bench.page1 = bench.dir.filePath(QStringLiteral("page1.htm"));
    bench.page10 = bench.dir.filePath(QStringLiteral("page10.htm"));
    if (!makeHtmlFixture(bench.page1, 1 * MiB, false) || !makeHtmlFixture(bench.page10, 10 * MiB, false))
        return 1;
    MessageService::setTestHookEnabled(true);
    bench.window = std::make_unique<TForm1>();
    installSubsystems(*bench.window);
    bench.window->show();
    benchmark::RunSpecifiedBenchmarks();
    closeDocuments();
    bench.window.reset();
    benchmark::Shutdown();
    return 0;
}
