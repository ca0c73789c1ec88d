#include "benchsupport.h"

#include <QCoreApplication>
#include <QFile>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace QuorvantBench {

namespace {

// ---------------------------------------------------------------------------
// The HTML fixture: the same generator as documents_bench, so the figures of
// the programs are taken on the same kind of page.

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

// Plain text without markup, for the scanners' worst case: no '<' or '>' to
// stop them anywhere.
class PlainFixtureWriter
{
public:
    PlainFixtureWriter(QFile *out, bool singleLine)
        : m_out(out)
        , m_singleLine(singleLine)
    {
    }

    bool write(qint64 targetBytes)
    {
        static const char *const words[] = {
            "lorem", "ipsum", "dolor", "sit", "amet", "consectetur", "adipiscing", "elit", "sed", "do",
            "eiusmod", "tempor", "incididunt", "ut", "labore", "et", "dolore", "magna", "aliqua", "enim",
            "caf\xC3\xA9", "na\xC3\xAFve", "r\xC3\xA9sum\xC3\xA9", "catalogue", "order", "price", "garden",
        };
        QByteArray line;
        while (m_written + m_buf.size() + line.size() < targetBytes) {
            QByteArray word = words[next() % std::size(words)];
            if (next() % 9 == 0)
                word += next() % 2 ? "," : ".";
            if (!m_singleLine && !line.isEmpty() && line.size() + 1 + word.size() > 78) {
                m_buf += line;
                m_buf += '\n';
                line.clear();
            } else if (!line.isEmpty()) {
                line += ' ';
            }
            line += word;
            if (m_buf.size() >= MiB && !flush())
                return false;
        }
        m_buf += line;
        // One line means no line break at all: a final one would make a second.
        if (!m_singleLine)
            m_buf += '\n';
        return flush();
    }

private:
    quint32 next()
    {
        m_seed ^= m_seed << 13;
        m_seed ^= m_seed >> 17;
        m_seed ^= m_seed << 5;
        return m_seed;
    }

    bool flush()
    {
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
    quint32 m_seed = 0x9E3779B9u;
};

template<typename Writer>
bool writeFixture(const QString &path, qint64 bytes, bool singleLine)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    Writer writer(&file, singleLine);
    return writer.write(bytes) && file.flush();
}

void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtWarningMsg && text.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

bool makeHtmlFixture(const QString &path, qint64 bytes, bool singleLine)
{
    return writeFixture<HtmlFixtureWriter>(path, bytes, singleLine);
}

bool makePlainFixture(const QString &path, qint64 bytes, bool singleLine)
{
    return writeFixture<PlainFixtureWriter>(path, bytes, singleLine);
}

double Samples::median() const
{
    if (m_ms.empty())
        return 0;
    std::vector<double> sorted = m_ms;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

double Samples::max() const
{
    return m_ms.empty() ? 0 : *std::max_element(m_ms.begin(), m_ms.end());
}

void installQuietMessageHandler()
{
    qInstallMessageHandler(quietMessages);
}

void prepareOffscreenRun()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    installQuietMessageHandler();
}

void prepareBrowserEngine()
{
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

bool initBenchmarkArguments(int &argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    return !benchmark::ReportUnrecognizedArguments(argc, argv);
}

bool tempDirReady(const QTemporaryDir &dir)
{
    if (dir.isValid())
        return true;
    std::fprintf(stderr, "cannot create a temporary folder\n");
    return false;
}

} // namespace QuorvantBench
