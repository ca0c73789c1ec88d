// Spell checking on big pages, on the real main window shown offscreen:
// how soon "Check Spelling" asks its first question on a 1 MiB page, the
// whole checking pass on 1 and 4 MiB (it should grow linearly), and one
// keystroke in a 1 MiB page with the underline-while-typing option off and on.
#include "appglobals.h"
#include "benchsupport.h"
#include "benchwindow.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "scintillawidget.h"
#include "spellcheckdialog.h"
#include "spellchecker.h"
#include "spellingcommands.h"
#include "spellsession.h"
#include "spellunderliner.h"
#include "subsystems.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <memory>

using namespace Quorvant;
using namespace QuorvantBench;

namespace {

struct Bench
{
    QTemporaryDir dir;
    QString html1, html4;
    std::unique_ptr<TForm1> window;
};
Bench *gBench = nullptr;

QString readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

TSpellingCommands *commands()
{
    return gBench->window->findChild<TSpellingCommands *>(QStringLiteral("SpellingCommands"));
}

void openOnly(const QString &path)
{
    closeAllDocuments(gBench->window->documents());
    gBench->window->documents()->OpenFile(path);
    gBench->window->documents()->currentBuffer()->setCaretPoint({0, 0});
}

// From the command to the first word on show; the first iteration also loads the dictionary.
void BM_FirstQuestion(benchmark::State &state)
{
    openOnly(gBench->html1);
    Samples samples;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        gBench->window->action(QStringLiteral("CheckSpelling1"))->trigger();
        const double ms = msSince(t0);
        TSpellCheckDialog *d = commands()->spellDialog();
        if (!d || !d->running() || d->currentWord().isEmpty()) {
            state.SkipWithError("no question was asked");
            return;
        }
        samples.add(ms);
        state.SetIterationTime(ms / 1000.0);
        d->cancel();
        QCoreApplication::processEvents();
    }
    state.counters["first_ms"] = samples.first();
    state.counters["median_ms"] = samples.median();
    failIfDialogs(state);
}

// Every word of the page walked and checked, every question answered "Ignore".
void BM_WholePass(benchmark::State &state, const QString *path)
{
    const QString text = readAll(*path);
    TSpellChecker &checker = commands()->checker();
    Samples samples;
    qint64 questions = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        TSpellSession session(checker, text);
        questions = 0;
        while (session.next())
            ++questions;
        const double ms = msSince(t0);
        samples.add(ms);
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["questions"] = double(questions);
    state.counters["MiB"] = double(text.size()) / MiB;
    state.counters["median_ms"] = samples.median();
}

// One character typed in the middle of a 1 MiB page, until the key is handled and painted.
void BM_Keystroke(benchmark::State &state, bool underline)
{
    openOnly(gBench->html1);
    ITextBuffer *buffer = gBench->window->documents()->currentBuffer();
    buffer->setCaretPoint({0, buffer->lineCount() / 2});
    QAction *option = gBench->window->action(QStringLiteral("UnderlineMisspelledWords1"));
    if (option->isChecked() != underline)
        option->trigger();
    ScintillaWidget *editor = gBench->window->DCMemo1()->widget();
    editor->setFocus();
    QTest::qWait(300);  // the first check of the visible text is done
    Samples samples;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        QTest::keyClick(editor->viewport(), Qt::Key_X);
        editor->viewport()->repaint();
        const double ms = msSince(t0);
        samples.add(ms);
        state.SetIterationTime(ms / 1000.0);
        QTest::qWait(5);
    }
    QTest::qWait(400);
    auto *underliner = gBench->window->findChild<TSpellUnderliner *>(QStringLiteral("SpellUnderliner"));
    state.counters["max_ms"] = samples.max();
    state.counters["median_ms"] = samples.median();
    state.counters["underlines"] = double(underliner->underlined().size());
    if (option->isChecked())
        option->trigger();
    buffer->setModified(false);
    failIfDialogs(state);
}

} // namespace

int main(int argc, char **argv)
{
    prepareOffscreenRun();
    QApplication app(argc, argv);
    if (!initBenchmarkArguments(argc, argv))
        return 2;
    MessageService::setTestHookEnabled(true);

    Bench bench;
    gBench = &bench;
    if (!bench.dir.isValid())
        return 1;
    DataFolder::setPath(bench.dir.path());
    bench.html1 = bench.dir.filePath(QStringLiteral("page-1.html"));
    bench.html4 = bench.dir.filePath(QStringLiteral("page-4.html"));
    if (!makeHtmlFixture(bench.html1, 1 * MiB, false) || !makeHtmlFixture(bench.html4, 4 * MiB, false)) {
        std::fprintf(stderr, "cannot write the fixtures\n");
        return 1;
    }
    bench.window = showMainWindow(QSize(1100, 800));

    using benchmark::kMillisecond;
    benchmark::RegisterBenchmark("CheckSpelling/html_1MiB/first_question", BM_FirstQuestion)
        ->UseManualTime()->Unit(kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("CheckSpelling/html_1MiB/whole_pass", BM_WholePass, &bench.html1)
        ->UseManualTime()->Unit(kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("CheckSpelling/html_4MiB/whole_pass", BM_WholePass, &bench.html4)
        ->UseManualTime()->Unit(kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("Keystroke/html_1MiB/underline_off", BM_Keystroke, false)
        ->UseManualTime()->Unit(kMillisecond)->Iterations(50);
    benchmark::RegisterBenchmark("Keystroke/html_1MiB/underline_on", BM_Keystroke, true)
        ->UseManualTime()->Unit(kMillisecond)->Iterations(50);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    closeAllDocuments(bench.window->documents());
    bench.window.reset();
    return 0;
}
