// Timings of the document set on big HTML files, on the real main window
// shown offscreen: opening a file, switching tabs, saving and typing.
//
// Extra modes, used by run-benchmarks.sh:
//   --make-fixture html|line MEGABYTES PATH   writes one generated HTML file
//   --open-peak PATH                          opens PATH once, prints memory
#include "appglobals.h"
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

// ---------------------------------------------------------------------------
// Generated fixtures: page-like HTML with nested tags, attributes, entities,
// some non-ASCII text, style and script blocks; lines of up to ~80 columns.

class HtmlFixtureWriter
{
public:
    HtmlFixtureWriter(QFile *out, bool singleLine)
        : m_out(out)
        , m_singleLine(singleLine)
    {
    }

    bool write(qint64 targetBytes)
    {
        head();
        const QByteArray tail = "  </body>\n</html>\n";
        for (int section = 1; m_written + m_buf.size() + tail.size() < targetBytes; ++section) {
            this->section(section);
            if (section % 25 == 0)
                script(section);
            if (!flush(false))
                return false;
        }
        m_buf += m_singleLine ? QByteArray(tail).replace('\n', ' ') : tail;
        return flush(true);
    }

private:
    quint32 next()
    {
        // xorshift32: the same file on every run.
        m_seed ^= m_seed << 13;
        m_seed ^= m_seed >> 17;
        m_seed ^= m_seed << 5;
        return m_seed;
    }
    int pick(int n) { return int(next() % quint32(n)); }

    QByteArray word()
    {
        static const char *const words[] = {
            "lorem", "ipsum", "dolor", "sit", "amet", "consectetur", "adipiscing", "elit", "sed", "do",
            "eiusmod", "tempor", "incididunt", "ut", "labore", "et", "dolore", "magna", "aliqua", "enim",
            "ad", "minim", "veniam", "quis", "nostrud", "exercitation", "ullamco", "laboris", "nisi",
            "aliquip", "ex", "ea", "commodo", "consequat", "duis", "aute", "irure", "in", "reprehenderit",
            "voluptate", "velit", "esse", "cillum", "fugiat", "nulla", "pariatur", "caf\xC3\xA9",
            "na\xC3\xAFve", "\xC3\xBC" "ber", "r\xC3\xA9sum\xC3\xA9", "catalogue", "order", "price",
            "delivery", "stock", "colour", "garden", "table", "chair", "lamp",
        };
        return words[pick(int(std::size(words)))];
    }

    QByteArray words(int n)
    {
        QByteArray s;
        for (int i = 0; i < n; ++i) {
            if (i)
                s += ' ';
            s += word();
        }
        return s;
    }

    QByteArray inlineToken()
    {
        switch (pick(14)) {
        case 0: {
            const QByteArray id = QByteArray::number(pick(100000));
            return "<a href=\"/catalogue/item-" + id + ".html\" title=\"Item " + id + "\">" + words(2) + "</a>";
        }
        case 1: return "<em>" + word() + "</em>";
        case 2: return "<strong>" + words(2) + "</strong>";
        case 3: return "&amp;";
        case 4: return "<code>" + word() + "()</code>";
        case 5: return word() + "&nbsp;" + word();
        default: return word() + (pick(9) == 0 ? "," : "");
        }
    }

    void line(int indent, const QByteArray &text)
    {
        // The single-line variant reads like minified HTML: no indentation.
        if (!m_singleLine)
            m_buf += QByteArray(indent, ' ');
        m_buf += text;
        m_buf += m_singleLine ? ' ' : '\n';
    }

    // A paragraph wrapped at 78 columns, continuation lines indented.
    void paragraph(int indent, const QByteArray &open, const QByteArray &close, int tokens)
    {
        QByteArray current = open;
        int currentIndent = indent;
        for (int i = 0; i < tokens; ++i) {
            const QByteArray token = inlineToken();
            if (currentIndent + current.size() + 1 + token.size() > 78 && current.size() > open.size()) {
                line(currentIndent, current);
                current.clear();
                currentIndent = indent + 2;
            } else if (!current.isEmpty() && current != open) {
                current += ' ';
            }
            current += token;
        }
        current += ".";
        current += close;
        line(currentIndent, current);
    }

    void head()
    {
        line(0, "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">");
        line(0, "<html lang=\"en\">");
        line(2, "<head>");
        line(4, "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
        line(4, "<meta name=\"description\" content=\"Generated catalogue for timing the editor\">");
        line(4, "<title>Catalogue &amp; price list</title>");
        line(4, "<link rel=\"stylesheet\" type=\"text/css\" href=\"/styles/site.css\">");
        line(4, "<style type=\"text/css\">");
        for (int i = 0; i < 30; ++i) {
            line(6, ".section-" + QByteArray::number(i) + " { margin: 0 0 " + QByteArray::number(i % 7)
                        + "px 0; padding: 2px; color: #" + QByteArray::number(0x102030 + i * 4099, 16) + "; }");
        }
        line(4, "</style>");
        line(2, "</head>");
        line(2, "<body bgcolor=\"#FFFFFF\" text=\"#000000\" link=\"#0000CC\" vlink=\"#551A8B\">");
    }

    void section(int n)
    {
        const QByteArray id = QByteArray::number(n);
        line(4, "<div class=\"section\" id=\"section-" + id + "\">");
        line(6, "<h2 class=\"heading\"><a name=\"s" + id + "\"></a>Section " + id + ": " + words(3) + "</h2>");
        for (int p = 1 + pick(3); p > 0; --p)
            paragraph(6, "<p class=\"text\">", "</p>", 12 + pick(30));
        line(6, "<table class=\"grid\" width=\"100%\" cellpadding=\"2\" cellspacing=\"0\" border=\"0\">");
        line(8, "<tr>");
        line(10, "<th align=\"left\">Item</th><th align=\"left\">Description</th><th>Price</th>");
        line(8, "</tr>");
        for (int r = 4 + pick(5); r > 0; --r) {
            const QByteArray item = QByteArray::number(pick(100000));
            line(8, r % 2 ? "<tr class=\"odd\">" : "<tr class=\"even\">");
            line(10, "<td><a href=\"/catalogue/item-" + item + ".html\" title=\"Item " + item + "\">Item " + item
                         + "</a></td>");
            line(10, "<td>" + words(3 + pick(4)) + "</td><td align=\"right\">" + QByteArray::number(pick(9999))
                         + "." + QByteArray::number(10 + pick(90)) + "</td>");
            line(8, "</tr>");
        }
        line(6, "</table>");
        line(6, "<ul class=\"links\">");
        for (int l = 3 + pick(4); l > 0; --l) {
            line(8, "<li><a href=\"http://www.example.com/" + word() + "/" + QByteArray::number(pick(1000))
                        + ".html\" target=\"_blank\">" + words(2) + "</a> &ndash; " + words(3) + "</li>");
        }
        line(6, "</ul>");
        line(6, "<img src=\"/images/photo-" + id + ".jpg\" width=\"120\" height=\"90\" alt=\"" + words(2) + "\">");
        line(6, "<!-- end of section " + id + " -->");
        line(4, "</div>");
    }

    void script(int n)
    {
        const QByteArray id = QByteArray::number(n);
        line(4, "<script type=\"text/javascript\">");
        line(6, "/* shows or hides section " + id + " */");
        line(6, "function toggleSection" + id + "(el) {");
        line(8, "var box = document.getElementById(\"section-" + id + "\");");
        line(8, "if (box && el.checked) { box.style.display = \"block\"; }");
        line(8, "else if (box) { box.style.display = \"none\"; }");
        line(6, "}");
        line(4, "</script>");
    }

    bool flush(bool force)
    {
        if (!force && m_buf.size() < MiB)
            return true;
        if (m_out->write(m_buf) != m_buf.size())
            return false;
        m_written += m_buf.size();
        m_buf.clear();
        return true;
    }

    QFile *m_out;
    bool m_singleLine;
    QByteArray m_buf;
    qint64 m_written = 0;
    quint32 m_seed = 0x2545F491u;
};

bool makeFixture(const QString &path, qint64 bytes, bool singleLine)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    HtmlFixtureWriter writer(&file, singleLine);
    return writer.write(bytes) && file.flush();
}

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

double msSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
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

bool failIfDialogs(benchmark::State &state)
{
    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    if (boxes.isEmpty())
        return false;
    state.SkipWithError(("unexpected message box: " + boxes.first().text).toUtf8().constData());
    return true;
}

void closeAllDocuments()
{
    TDocumentSet *docs = gBench->docs();
    while (docs->PagesOpen() > 0) {
        if (TMemoSource *b = docs->currentBuffer())
            b->setModified(false);
        docs->CloseSelectedPage();
    }
    MessageService::takeRecorded();
    QCoreApplication::processEvents();
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
        closeAllDocuments();
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
        if (failIfDialogs(state))
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
    closeAllDocuments();
}

// A user's tab switch: the tab bar's current index changes, then the editor
// paints the other document where its view was left.
void BM_SwitchTabs(benchmark::State &state, bool atMiddle)
{
    TDocumentSet *docs = gBench->docs();
    QTabBar *tabs = gBench->window->PageSelector();
    closeAllDocuments();
    const bool ready = atMiddle ? openAtMiddle(gBench->html20a) && openAtMiddle(gBench->html20b)
                                : docs->OpenFile(gBench->html20a) && docs->OpenFile(gBench->html20b) && repaintEditor();
    if (!ready || docs->PagesOpen() != 2 || failIfDialogs(state)) {
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
    closeAllDocuments();
}

// Ctrl+S on a 50 MiB document just edited in its middle.
void BM_Save(benchmark::State &state)
{
    TDocumentSet *docs = gBench->docs();
    closeAllDocuments();
    if (!openAtMiddle(gBench->save50) || failIfDialogs(state)) {
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
        if (failIfDialogs(state))
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
    closeAllDocuments();
}

// One typed character: the key press and release as the window gets them,
// then the paint that shows it.
void BM_Typing(benchmark::State &state, const QString &path)
{
    TDocumentSet *docs = gBench->docs();
    closeAllDocuments();
    if (path.isEmpty()) {
        docs->blankDocument();
        repaintEditor();
    } else if (!openAtMiddle(path)) {
        state.SkipWithError("could not open the document");
        return;
    }
    if (failIfDialogs(state))
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
    if (!failIfDialogs(state) && buffer->byteLength() != startLength + 1 + qint64(state.iterations()))
        state.SkipWithError("not every key reached the document");
    state.counters["first_key_ms"] = firstMs;
    state.counters["key_max_ms"] = worst;
    state.counters["events_after_ms"] = benchmark::Counter(eventsTotal, benchmark::Counter::kAvgIterations);
    state.counters["doc_MiB"] = double(startLength) / MiB;
    closeAllDocuments();
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
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    MessageService::setTestHookEnabled(true);

    Bench bench;
    gBench = &bench;
    if (!bench.dir.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
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
