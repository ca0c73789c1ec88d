// The scripts subsystem on the real main window: a 5,000-line script
// template put into a page (one undo step), and the "Code Snippet" page's
// preview of one of 1,000 snippets when it is selected.
#include "benchsupport.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "subsystems.h"
#include "tcodesnippetpage.h"
#include "tmemosource.h"
#include "tsnippetlist.h"
#include "tscriptinserter.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <unistd.h>

using namespace Quorvant;

namespace {

struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    TCodeSnippetPage *snippets = nullptr;
};
Fixture *gFixture = nullptr;

const QString Page = QStringLiteral("<html>\r\n<head>\r\n<title>Bench</title>\r\n</head>\r\n<body>\r\n<p>x</p>\r\n</body>\r\n</html>");

// A template of 5,000 script lines, half for the head and half for the body.
QString writeTemplate()
{
    QString text = QStringLiteral("<!--\r\nBig script\r\nFive thousand lines.\r\n-->\r\n<!--<PUT-HEAD>-->\r\n<script>\r\n");
    for (int i = 0; i < 2498; ++i)
        text += QStringLiteral("  var headValue%1 = \"<B>%1</B>\"; // keeps its case\r\n").arg(i);
    text += QStringLiteral("</script>\r\n<!--<STOP-RECORDING>-->\r\n<!--<PUT-BODY>-->\r\n<script>\r\n");
    for (int i = 0; i < 2498; ++i)
        text += QStringLiteral("  document.getElementById(\"id%1\").textContent = \"<I>%1</I>\";\r\n").arg(i);
    text += QStringLiteral("</script>\r\n<!--<STOP-RECORDING>-->\r\n");
    const QString path = gFixture->dir.filePath(QStringLiteral("Big.Htm"));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text.toUtf8());
    return path;
}

void BM_InsertTemplate(benchmark::State &state)
{
    const QString path = writeTemplate();
    ITextBuffer *b = gFixture->form->documents()->currentBuffer();
    b->setText(Page);
    bool alerted = false;
    for (auto _ : state) {
        TScriptInserter(b, [&alerted](const QString &) { alerted = true; }).InsertScript(path);
        state.PauseTiming();
        const int lines = b->lineCount();
        b->undo();
        const bool oneStep = b->text() == Page;
        QCoreApplication::processEvents();
        state.ResumeTiming();
        if (alerted || lines != 8 + 5000 + 4 || !oneStep) {
            state.SkipWithError(alerted ? "a tag was not found" : lines != 5012 ? "lines are missing" : "more than one undo step");
            break;
        }
    }
}

void BM_SnippetPreview(benchmark::State &state)
{
    QListWidget *list = gFixture->snippets->list();
    if (list->count() != 1000) {
        state.SkipWithError("the snippets did not load");
        return;
    }
    int row = 0;
    for (auto _ : state) {
        row = (row + 397) % 1000;  // all over the file
        list->setCurrentRow(row);
        state.PauseTiming();
        const QString shown = gFixture->snippets->preview()->text();
        const QString expected = QStringLiteral("<div class=\"s%1\">[CURSOR-HERE]</div>").arg(row);
        state.ResumeTiming();
        if (!shown.startsWith(expected)) {
            state.SkipWithError("the preview shows another snippet");
            break;
        }
    }
}

void writeSnippets(const QString &path)
{
    QString text;
    for (int i = 0; i < 1000; ++i) {
        text += QChar(0x9E) + QStringLiteral("Snippet %1\r\n").arg(i);
        text += QStringLiteral("<div class=\"s%1\">").arg(i) + QChar(0xFE) + QStringLiteral("</div>\r\n");
        for (int l = 0; l < 8; ++l)
            text += QStringLiteral("<!-- line %1 of snippet %2, some more text to make it longer -->\r\n").arg(l).arg(i);
        text += QStringLiteral("END}\r\n");
    }
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text.toUtf8());
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
    writeSnippets(fixture.dir.filePath(QStringLiteral("Snippets.Dat")));
    fixture.form = std::make_unique<TForm1>();
    installSubsystems(*fixture.form);
    fixture.form->show();
    fixture.form->documents()->blankDocument();
    fixture.snippets = fixture.form->findChild<TCodeSnippetPage *>();
    if (!fixture.snippets) {
        fprintf(stderr, "no Code Snippet page\n");
        return 1;
    }

    benchmark::RegisterBenchmark("ScriptInserter/template_5000_lines", BM_InsertTemplate)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("CodeSnippets/select_one_of_1000", BM_SnippetPreview)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixture.form.reset();
    return 0;
}
