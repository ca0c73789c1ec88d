// The element wizards' speed on the real main window (shown offscreen): the
// largest custom table (200 x 200 cells) written by the table dialog into a
// 10,000-line document, and the size look-up of the image dialog on a
// 20,000 x 20,000 PNG.
#include "subsystems.h"
#include "benchsupport.h"
#include "benchwindow.h"
#include "documentset.h"
#include "imagewizard.h"
#include "mainwindow.h"
#include "scintillawidget.h"
#include "tdcmemo.h"
#include "messageservice.h"
#include "tmemosource.h"
#include "tmnutables.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <memory>

using namespace Quorvant;
using namespace QuorvantBench;

namespace {

struct Bench
{
    QTemporaryDir dir;
    QString document;  // 10,000 lines of HTML
    QString hugePng;   // 20,000 x 20,000 pixels
    std::unique_ptr<TForm1> window;
};
Bench *gBench = nullptr;

// Resident memory in KiB, from /proc/self/status.
qint64 residentKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

bool writeDocument(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray text;
    for (int i = 0; i < 10000; ++i)
        text += "<p class=\"row\">Line " + QByteArray::number(i) + " of the page, with <b>some</b> words.</p>\r\n";
    return f.write(text) == text.size();
}

// One bit per pixel keeps the file and its making small; the reader is
// told the same size whatever the depth.
bool writeHugePng(const QString &path)
{
    QImage image(20000, 20000, QImage::Format_Mono);
    if (image.isNull())
        return false;
    image.fill(0);
    return image.save(path, "PNG");
}

// The table dialog at 200 rows by 200 columns, "Done" pressed with the
// caret in the middle of the document. Times the press until the table is
// in the document and the editor has painted it; checks the 40,000 cells arrived and undo takes all of
// them back in one step.
void BM_CustomTable(benchmark::State &state)
{
    TDocumentSet *docs = gBench->window->documents();
    closeAllDocuments(docs);
    if (!docs->OpenFile(gBench->document) || !docs->currentBuffer()) {
        state.SkipWithError("could not open the document");
        return;
    }
    TMemoSource *buffer = docs->currentBuffer();
    const QString original = buffer->text();
    Samples samples;
    for (auto _ : state) {
        buffer->setCaretPoint({0, 5000});
        Tmnutables dialog(*gBench->window, gBench->window.get());
        dialog.findChild<QSpinBox *>(QStringLiteral("RowsEdit"))->setValue(200);
        dialog.findChild<QSpinBox *>(QStringLiteral("ColumnsEdit"))->setValue(200);
        dialog.show();
        QCoreApplication::processEvents();
        QPushButton *done = dialog.findChild<QPushButton *>(QStringLiteral("DoneButton"));
        const auto t0 = std::chrono::steady_clock::now();
        done->click();
        gBench->window->DCMemo1()->widget()->repaint();
        const double ms = msSince(t0);
        state.SetIterationTime(ms / 1000.0);
        samples.add(ms);

        const QString text = buffer->text();
        if (text.count(QStringLiteral("<td></td>")) != 40000 || buffer->lineCount() != 10001 + 40000 + 400 + 1) {
            state.SkipWithError("the table did not arrive whole");
            return;
        }
        buffer->undo();
        if (buffer->text() != original) {
            state.SkipWithError("one undo did not take the whole table back");
            return;
        }
        if (failIfDialogs(state))
            return;
    }
    state.counters["median_ms"] = samples.median();
    state.counters["max_ms"] = samples.max();
    buffer->setModified(false);
}

// imageSize on the 20,000 x 20,000 PNG; a decoded picture would need
// hundreds of megabytes, so the resident memory must not grow by more than
// a few.
void BM_ImageSize(benchmark::State &state)
{
    Samples samples;
    qint64 growth = 0;
    for (auto _ : state) {
        const qint64 before = residentKiB();
        const auto t0 = std::chrono::steady_clock::now();
        const QSize size = imageSize(gBench->hugePng);
        const double ms = msSince(t0);
        growth = qMax(growth, residentKiB() - before);
        state.SetIterationTime(ms / 1000.0);
        samples.add(ms);
        if (size != QSize(20000, 20000)) {
            state.SkipWithError("wrong size");
            return;
        }
    }
    if (growth > 16 * 1024)
        state.SkipWithError("the picture was decoded: memory grew");
    state.counters["median_ms"] = samples.median();
    state.counters["max_ms"] = samples.max();
    state.counters["rss_growth_kib"] = double(growth);
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
    if (!tempDirReady(bench.dir))
        return 1;
    bench.document = bench.dir.filePath(QStringLiteral("page-10000-lines.html"));
    bench.hugePng = bench.dir.filePath(QStringLiteral("huge.png"));
    std::fprintf(stderr, "generating fixtures in %s ...\n", qPrintable(bench.dir.path()));
    if (!writeDocument(bench.document) || !writeHugePng(bench.hugePng)) {
        std::fprintf(stderr, "cannot write the fixtures\n");
        return 1;
    }
    bench.window = showMainWindow();

    using benchmark::kMillisecond;
    benchmark::RegisterBenchmark("CustomTable/200x200_into_10000_lines", BM_CustomTable)
        ->UseManualTime()->Unit(kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("ImageSize/png_20000x20000", BM_ImageSize)
        ->UseManualTime()->Unit(kMillisecond)->Iterations(50);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    closeAllDocuments(bench.window->documents());
    bench.window.reset();
    return 0;
}
