// Timings of the source toolkit on big documents open in the real main
// window (shown offscreen): placing a tag pair, stripping every tag, finding
// the tag at the caret where there is none.
#include "subsystems.h"
#include "benchsupport.h"
#include "benchwindow.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "tagplacement.h"
#include "tagscanning.h"
#include "tdcmemo.h"
#include "tmemosource.h"
#include "transformations.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
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
    QString html50, plainLines10, plainLine10;
    std::unique_ptr<TForm1> window;

    TDocumentSet *docs() const { return window->documents(); }
};
Bench *gBench = nullptr;

// Opens path as the only document and lets the window settle; nullptr when
// it did not open whole.
TMemoSource *openOnly(const QString &path)
{
    QuorvantBench::closeAllDocuments(gBench->docs());
    if (!gBench->docs()->OpenFile(path))
        return nullptr;
    TMemoSource *buffer = gBench->docs()->currentBuffer();
    if (!buffer || buffer->byteLength() != QFileInfo(path).size())
        return nullptr;
    gBench->window->DCMemo1()->widget()->repaint();
    QCoreApplication::processEvents();
    return buffer;
}

void setSampleCounters(benchmark::State &state, const Samples &samples)
{
    state.counters["median_ms"] = samples.median();
    state.counters["max_ms"] = samples.max();
    state.counters["first_ms"] = samples.first();
}

bool sameTextIgnoringCase(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// ---------------------------------------------------------------------------

// ptext("<b>", "</b>") in the middle of the 50 MiB page, with the caret there
// and no selection, or with a selection over three lines.
class PtextCase
{
public:
    explicit PtextCase(bool withSelection)
        : m_withSelection(withSelection)
    {
    }

    // Opens the page afresh; nullptr when ready, else what went wrong.
    const char *open()
    {
        m_buffer = openOnly(gBench->html50);
        if (!m_buffer || !MessageService::takeRecorded().isEmpty())
            return "could not open the document";
        m_length = m_buffer->byteLength();
        m_y = m_buffer->lineCount() / 2;
        m_firstLine = m_buffer->line(m_y);
        const QString lastLine = m_buffer->line(m_y + 2);
        m_caret = {int(m_firstLine.size() / 2), m_y};
        m_selection = {{int(qMin<qsizetype>(6, m_firstLine.size())), m_y},
                       {int(qMin<qsizetype>(12, lastLine.size())), m_y + 2}};
        m_buffer->setSelection(m_selection);
        m_selectedText = m_buffer->selText();
        m_buffer->setCaretPoint({0, m_y});
        QCoreApplication::processEvents();
        if (m_selectedText.count(QLatin1String("\r\n")) != 2)
            return "the selection does not span three lines";
        return nullptr;
    }

    // Puts the caret or the selection in place and lets the event loop run,
    // as between the user's click and the command; then times ptext alone.
    double place()
    {
        if (m_withSelection)
            m_buffer->setSelection(m_selection);
        else
            m_buffer->setCaretPoint(m_caret);
        QCoreApplication::processEvents();
        const auto t0 = std::chrono::steady_clock::now();
        ptext(m_buffer, QStringLiteral("<b>"), QStringLiteral("</b>"));
        return msSince(t0);
    }

    // The pair went in where it should and the caret or selection is as
    // ptext promises; an undo then gives back the document as loaded, so
    // every call meets the same document. nullptr when all is well.
    const char *checkAndUndo()
    {
        const int y = m_y;
        if (m_buffer->byteLength() != m_length + 7)
            return "the document did not grow by the tag pair";
        if (m_withSelection) {
            const SelectionRect inner{{m_selection.start.x + 3, y}, m_selection.end};
            if (!sameTextIgnoringCase(m_buffer->line(y).mid(m_selection.start.x, 3), QStringLiteral("<b>"))
                || !sameTextIgnoringCase(m_buffer->line(y + 2).mid(m_selection.end.x, 4), QStringLiteral("</b>")))
                return "the tags are not around the selection";
            if (m_buffer->selectionRect() != inner || m_buffer->selText() != m_selectedText)
                return "the selected text is not selected any more";
        } else {
            if (!sameTextIgnoringCase(m_buffer->line(y).mid(m_caret.x, 7), QStringLiteral("<b></b>")))
                return "the tag pair is not at the caret";
            if (m_buffer->caretPoint() != CaretPoint{m_caret.x + 3, y} || m_buffer->hasSelection())
                return "the caret is not between the tags";
        }
        m_buffer->undo();
        if (m_buffer->byteLength() != m_length || m_buffer->line(y) != m_firstLine || m_buffer->isModified())
            return "undo did not restore the document";
        QCoreApplication::processEvents();
        if (!MessageService::takeRecorded().isEmpty())
            return "unexpected message box";
        return nullptr;
    }

    qint64 length() const { return m_length; }

private:
    bool m_withSelection;
    TMemoSource *m_buffer = nullptr;
    qint64 m_length = 0;
    int m_y = 0;
    QString m_firstLine;
    CaretPoint m_caret;
    SelectionRect m_selection;
    QString m_selectedText;
};

// Repeated calls at the same place of a document that was loaded once. The
// first call after the load is made before the timed ones (it moves the
// buffer's gap to the middle) and reported as after_load_ms.
void BM_Ptext(benchmark::State &state, bool withSelection)
{
    PtextCase c(withSelection);
    if (const char *fault = c.open()) {
        state.SkipWithError(fault);
        return;
    }
    const double afterLoadMs = c.place();
    if (const char *fault = c.checkAndUndo()) {
        state.SkipWithError(fault);
        return;
    }
    Samples samples;
    for (auto _ : state) {
        const double ms = c.place();
        state.SetIterationTime(ms / 1000.0);

        state.PauseTiming();
        samples.add(ms);
        if (const char *fault = c.checkAndUndo()) {
            state.SkipWithError(fault);
            break;
        }
        state.ResumeTiming();
    }
    setSampleCounters(state, samples);
    state.counters["after_load_ms"] = afterLoadMs;
    state.counters["doc_MiB"] = double(c.length()) / MiB;
    QuorvantBench::closeAllDocuments(gBench->docs());
}

// Only the first call after a load: the document is opened afresh before
// every call.
void BM_PtextAfterLoad(benchmark::State &state, bool withSelection)
{
    PtextCase c(withSelection);
    Samples samples;
    for (auto _ : state) {
        state.PauseTiming();
        if (const char *fault = c.open()) {
            state.SkipWithError(fault);
            break;
        }
        state.ResumeTiming();

        const double ms = c.place();
        state.SetIterationTime(ms / 1000.0);

        state.PauseTiming();
        samples.add(ms);
        if (const char *fault = c.checkAndUndo()) {
            state.SkipWithError(fault);
            break;
        }
        state.ResumeTiming();
    }
    setSampleCounters(state, samples);
    state.counters["doc_MiB"] = double(c.length()) / MiB;
    QuorvantBench::closeAllDocuments(gBench->docs());
}

// Tools > "Strip all tags from document" on the freshly loaded 50 MiB page.
void BM_StripAllTags(benchmark::State &state)
{
    QFile file(gBench->html50);
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("cannot read the fixture");
        return;
    }
    // What the document must read afterwards, from the file itself.
    const QString expected = StripAllTagsText(QString::fromUtf8(file.readAll()));
    file.close();
    if (expected.contains(u'<') || expected.contains(u'>') || expected.size() < 1000) {
        state.SkipWithError("the fixture does not strip to plain text");
        return;
    }

    Samples samples;
    qint64 before = 0, after = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TMemoSource *buffer = openOnly(gBench->html50);
        if (!buffer || QuorvantBench::failIfDialogs(state)) {
            state.SkipWithError("could not open the document");
            break;
        }
        before = buffer->byteLength();
        state.ResumeTiming();

        const auto t0 = std::chrono::steady_clock::now();
        StripAllTags(buffer);
        const double ms = msSince(t0);
        state.SetIterationTime(ms / 1000.0);

        state.PauseTiming();
        samples.add(ms);
        after = buffer->byteLength();
        const bool stripped = buffer->text() == expected;
        QCoreApplication::processEvents();
        if (QuorvantBench::failIfDialogs(state))
            break;
        if (!stripped) {
            state.SkipWithError("the document is not the stripped text");
            break;
        }
        state.ResumeTiming();
    }
    setSampleCounters(state, samples);
    state.counters["doc_MiB"] = double(before) / MiB;
    state.counters["stripped_MiB"] = double(after) / MiB;
    QuorvantBench::closeAllDocuments(gBench->docs());
}

// GetTagAtCaret with the caret in the middle of 10 MiB of text that holds no
// tag at all: the scan runs back to the start of the document.
void BM_GetTagAtCaret(benchmark::State &state, const QString &path, bool singleLine)
{
    QuorvantBench::closeAllDocuments(gBench->docs());
    if (!gBench->docs()->OpenFile(path) || QuorvantBench::failIfDialogs(state, singleLine)) {
        state.SkipWithError("could not open the document");
        return;
    }
    TMemoSource *buffer = gBench->docs()->currentBuffer();
    if (singleLine != (buffer->lineCount() == 1) || buffer->byteLength() != QFileInfo(path).size()) {
        state.SkipWithError("the document is not as generated");
        return;
    }
    const int y = buffer->lineCount() / 2;
    // A single 10 MiB line is not read twice just to find its middle.
    const int x = singleLine ? int(buffer->byteLength() / 2) : int(buffer->line(y).size() / 2);
    buffer->setCaretPoint({x, y});
    const CaretPoint caret = buffer->caretPoint();
    QCoreApplication::processEvents();
    if (caret.y != y || caret.x < x / 2) {
        state.SkipWithError("the caret did not go to the middle");
        return;
    }

    Samples samples;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const QString tag = GetTagAtCaret(buffer, false);
        const double ms = msSince(t0);
        state.SetIterationTime(ms / 1000.0);

        state.PauseTiming();
        samples.add(ms);
        if (!tag.isEmpty() || buffer->caretPoint() != caret || buffer->hasSelection()) {
            state.SkipWithError("a tag was found, or the caret moved");
            break;
        }
        state.ResumeTiming();
    }
    setSampleCounters(state, samples);
    state.counters["doc_MiB"] = double(buffer->byteLength()) / MiB;
    state.counters["lines"] = buffer->lineCount();
    QuorvantBench::closeAllDocuments(gBench->docs());
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
    bench.html50 = bench.dir.filePath(QStringLiteral("page-50.html"));
    bench.plainLines10 = bench.dir.filePath(QStringLiteral("plain-lines-10.txt"));
    bench.plainLine10 = bench.dir.filePath(QStringLiteral("plain-single-line-10.txt"));
    std::fprintf(stderr, "generating fixtures in %s ...\n", qPrintable(bench.dir.path()));
    if (!makeHtmlFixture(bench.html50, 50 * MiB, false) || !makePlainFixture(bench.plainLines10, 10 * MiB, false)
        || !makePlainFixture(bench.plainLine10, 10 * MiB, true)) {
        std::fprintf(stderr, "cannot write the fixtures\n");
        return 1;
    }
    bench.window = showMainWindow();

    using benchmark::kMillisecond;
    benchmark::RegisterBenchmark("Ptext/html_50MiB/caret_mid", [](benchmark::State &s) { BM_Ptext(s, false); })
        ->UseManualTime()->Unit(kMillisecond)->Iterations(50);
    benchmark::RegisterBenchmark("Ptext/html_50MiB/selection_3_lines_mid", [](benchmark::State &s) { BM_Ptext(s, true); })
        ->UseManualTime()->Unit(kMillisecond)->Iterations(50);
    benchmark::RegisterBenchmark("Ptext/html_50MiB/caret_mid/after_load", [](benchmark::State &s) { BM_PtextAfterLoad(s, false); })
        ->UseManualTime()->Unit(kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("Ptext/html_50MiB/selection_3_lines_mid/after_load", [](benchmark::State &s) { BM_PtextAfterLoad(s, true); })
        ->UseManualTime()->Unit(kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("StripAllTags/html_50MiB", BM_StripAllTags)
        ->UseManualTime()->Unit(kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("GetTagAtCaret/plain_10MiB/lines",
                                 [&bench](benchmark::State &s) { BM_GetTagAtCaret(s, bench.plainLines10, false); })
        ->UseManualTime()->Unit(kMillisecond)->Iterations(20);
    benchmark::RegisterBenchmark("GetTagAtCaret/plain_10MiB/single_line",
                                 [&bench](benchmark::State &s) { BM_GetTagAtCaret(s, bench.plainLine10, true); })
        ->UseManualTime()->Unit(kMillisecond)->Iterations(20);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench.window.reset();
    gBench = nullptr;
    return 0;
}
