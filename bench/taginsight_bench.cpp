// Timings of Tag Insight and the Tag Inspector on the real main window with
// the shipped tag database: the grid refresh that runs on every key release,
// on a 10,000-character line, and Ctrl+Space until the list is shown.
#include "installtags.h"
#include "subsystems.h"
#include "benchsupport.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "taginsight.h"
#include "taginspector.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <QApplication>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <unistd.h>

using namespace Quorvant;

namespace {

struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    TTagInspector *inspector = nullptr;
    TTagInsight *insight = nullptr;
};
Fixture *gFixture = nullptr;

// A 10,000-character line with a FONT tag in its middle, the caret inside it.
void prepareLongLine()
{
    QString line;
    while (line.size() < 5000)
        line += QStringLiteral("plain words and more plain words ");
    const int tagAt = int(line.size());
    line += QStringLiteral("<font size=\"2\" color=\"red\" face=\"Arial\">");
    while (line.size() < 10000)
        line += QStringLiteral("more words after the tag ");
    ITextBuffer *b = gFixture->form->documents()->currentBuffer();
    b->setText(line);
    b->setCaretPoint({tagAt + 8, 0});
}

void BM_GridRefresh(benchmark::State &state)
{
    prepareLongLine();
    for (auto _ : state) {
        gFixture->inspector->RunTagInspector();
        benchmark::DoNotOptimize(gFixture->inspector->MainGrid()->rowCount());
    }
    if (gFixture->inspector->TagBeingExecuted().compare(QLatin1String("FONT"), Qt::CaseInsensitive) != 0
        || gFixture->inspector->MainGrid()->rowCount() < 3)
        state.SkipWithError("the grid does not show the FONT tag");
}

void BM_InsightShown(benchmark::State &state, bool insideTag)
{
    ITextBuffer *b = gFixture->form->documents()->currentBuffer();
    b->setText(insideTag ? QStringLiteral("<table border=\"1\" >") : QStringLiteral("<p>text</p>"));
    b->setCaretPoint({insideTag ? 18 : 11, 0});
    for (auto _ : state) {
        state.PauseTiming();
        gFixture->insight->InsightViewSetFocus(false);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        runTagInsight(*gFixture->form);
        QCoreApplication::processEvents();
        if (!gFixture->insight->isShown()) {
            state.SkipWithError("the Insight list was not shown");
            break;
        }
    }
    const int entries = gFixture->insight->InsightView()->count();
    state.counters["entries"] = entries;
    if (entries < (insideTag ? 3 : 50))
        state.SkipWithError("the Insight list is too short");
}

} // namespace

int main(int argc, char **argv)
{
    QuorvantBench::prepareBrowserEngine();
    QuorvantBench::prepareOffscreenRun();
    QApplication app(argc, argv);
    MessageService::setTestHookEnabled(true);

    Fixture fixture;
    gFixture = &fixture;
    DataFolder::setPath(fixture.dir.path());
    DataFolder::seed(DataFolder::shippedDataDir(), fixture.dir.path());
    fixture.form = std::make_unique<TForm1>();
    installSubsystems(*fixture.form);
    fixture.form->show();
    fixture.form->documents()->blankDocument();
    fixture.inspector = fixture.form->findChild<TTagInspector *>();
    fixture.insight = fixture.form->findChild<TTagInsight *>();
    if (!fixture.inspector || !fixture.insight) {
        fprintf(stderr, "the tag database did not load from %s\n", qPrintable(DataFolder::shippedDataDir()));
        return 1;
    }

    benchmark::RegisterBenchmark("TagInspector/refresh_10000_char_line", BM_GridRefresh)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("TagInsight/ctrl_space_all_tags", [](benchmark::State &s) { BM_InsightShown(s, false); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("TagInsight/ctrl_space_attributes", [](benchmark::State &s) { BM_InsightShown(s, true); })
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixture.form.reset();
    return 0;
}
