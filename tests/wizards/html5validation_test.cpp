// Every wizard's HTML5 markup, for field values from empty to quotes,
// ampersands and non-ASCII text, put into a minimal HTML5 page the way the
// wizard puts it into a document, and checked by the W3C Nu Html Checker in
// one run: no errors and no warnings.
#include "catalogue.h"
#include "html5markup.h"
#include "generalfilecommands.h"
#include "html5page.h"
#include "pathsandcolours.h"
#include "memoryeditor.h"
#include "tagplacement.h"
#include "toolkitglobals.h"
#include "w3cvalidator.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <functional>

namespace Quorvant::Test {
namespace {

// What a user may type, by the kind of field.
struct FieldValues
{
    const char *name;
    QString text;    // free text: captions, titles, names, descriptions
    QString link;    // file names and addresses
    QString colour;
    QString length;  // widths, heights, spacing
    QString key;     // one key
    QString size;    // the font dialog's size
};

const QList<FieldValues> &fieldValues()
{
    static const QList<FieldValues> rows = {
        {"empty", {}, {}, {}, {}, {}, {}},
        {"typical", QStringLiteral("Home page"), QStringLiteral("pages/index.html"), QStringLiteral("#FF0000"),
         QStringLiteral("120"), QStringLiteral("h"), QStringLiteral("3 (12pt)")},
        {"quotes", QStringLiteral("He said \"hi\" and 'bye'"), QStringLiteral("my \"quoted\" page's.htm"),
         QStringLiteral("\"red\""), QStringLiteral("50%"), QStringLiteral("\""), QStringLiteral("+2")},
        {"ampersands", QStringLiteral("Fish & Chips &amp; more &copy 2026 <b>"), QStringLiteral("search?q=a&b=c d#x#y"),
         QStringLiteral("&red;"), QStringLiteral("12&"), QStringLiteral("&"), QStringLiteral("-1")},
        {"nonascii", QStringLiteral("\u00dcn\u00efc\u00f8d\u00e9 \u2013 \u65e5\u672c\u8a9e \u2713"),
         QStringLiteral("bilder/gr\u00f6\u00dfe \u00fc.png"), QStringLiteral("rot"), QStringLiteral("1,5em"),
         QStringLiteral("\u00e9"), QStringLiteral("gro\u00df")},
    };
    return rows;
}

QString orDefault(const QString &value, const char *fallback)
{
    return value.isEmpty() ? QLatin1String(fallback) : value;
}

const QString Caret = QStringLiteral("@CARET@");
const QString Page = QStringLiteral("<!DOCTYPE html>\r\n<html lang=\"en\">\r\n<head>\r\n<meta charset=\"utf-8\">\r\n"
                                    "<title>Wizard output</title>\r\n</head>\r\n<body>\r\n<div>")
                     + Caret + QStringLiteral("</div>\r\n</body>\r\n</html>\r\n");

// The page with the caret where the marker is.
void loadPage(MemoryTextBuffer &buffer, const QString &page = Page)
{
    const qsizetype at = page.indexOf(Caret);
    buffer.setText(QString(page).remove(Caret));
    const QString before = page.left(at);
    const int line = int(before.count(QLatin1Char('\n')));
    buffer.setCaretPoint({int(before.size() - before.lastIndexOf(QLatin1Char('\n')) - 1), line});
}

using Writer = std::function<void(ITextBuffer *, const FieldValues &)>;

void insertPair(ITextBuffer *b, const MarkupPair &m)
{
    ptext(b, m.start + QStringLiteral("Sample") + m.end, QString());
}

// Each wizard, writing into the page as its dialog does.
const QList<QPair<QString, Writer>> &writers()
{
    static const QList<QPair<QString, Writer>> list = {
        {QStringLiteral("font"),
         [](ITextBuffer *b, const FieldValues &v) {
             FontChoices c;
             c.faces[0] = v.text;
             c.faces[1] = QStringLiteral("Arial");
             c.position = v.text.isEmpty() ? QString() : QStringLiteral("SUPERSCRIPT");
             c.size = v.size;
             c.color = v.colour;
             c.styles = v.text.isEmpty() ? 0u : (1u << FontStyleCount) - 1;
             insertPair(b, html5FontMarkup(c));
         }},
        {QStringLiteral("rule"),
         [](ITextBuffer *b, const FieldValues &v) {
             RuleChoices c;
             if (!v.text.isEmpty()) {
                 c.alignment = QStringLiteral("CENTER");
                 c.percentWidth = v.length;
                 c.thickness = v.length;
                 c.shaded = v.length.size() % 2 == 0;
             }
             c.color = v.colour;
             ptext(b, html5RuleMarkup(c), QString());
         }},
        {QStringLiteral("rule-pixels"),
         [](ITextBuffer *b, const FieldValues &v) {
             RuleChoices c;
             c.alignment = QStringLiteral("RIGHT");
             c.widthInPixels = true;
             c.pixelWidth = v.length;
             ptext(b, html5RuleMarkup(c), QString());
         }},
        {QStringLiteral("lists"),
         [](ITextBuffer *b, const FieldValues &v) {
             const QStringList items = {v.text, QStringLiteral("second")};
             for (int sub = 0; sub < 5; ++sub) {
                 ptext(b, html5ListMarkup(ListStyle::Bullet, sub, v.text, items), QString());
                 ptext(b, html5ListMarkup(ListStyle::Numbered, sub, v.text, items), QString());
             }
             ptext(b, html5ListMarkup(ListStyle::Definition, 0, v.text, items), QString());
             ptext(b, QStringLiteral("<ul>") + html5ListMarkup(ListStyle::ItemsOnly, 0, v.text, items) + QStringLiteral("</ul>"),
                   QString());
         }},
        {QStringLiteral("comment"),
         [](ITextBuffer *b, const FieldValues &v) {
             insertPair(b, html5CommentMarkup(v.text + QStringLiteral(" -- <!-- --> --!> <!-")));
             insertPair(b, html5CommentMarkup(v.text));
         }},
        {QStringLiteral("image"),
         [](ITextBuffer *b, const FieldValues &v) {
             TImageSettings s;
             s.fileName = QStringLiteral("/site/") + orDefault(v.link, "picture.png");
             s.alternateText = v.text;
             s.width = v.length;
             s.height = v.length;
             s.border = v.length;
             s.hSpacing = v.length;
             s.vSpacing = v.length;
             s.lowResFileName = v.link.isEmpty() ? QString() : QStringLiteral("/site/low.gif");
             const QStringList alignments = imageAlignments() << QString();
             for (const QString &alignment : alignments) {
                 s.alignment = alignment;
                 ptext(b, html5ImageStartText(s, QStringLiteral("/site/page.htm")), QString());
             }
         }},
        {QStringLiteral("link"),
         [](ITextBuffer *b, const FieldValues &v) {
             TLinkSettings s{v.link, v.text, v.text, v.text, v.text, v.text, v.key, false};
             insertPair(b, html5AnchorLinkTexts(s, false));
             s.name.clear();  // ids are unique on a page
             s.target = QStringLiteral("_blank");
             insertPair(b, html5AnchorLinkTexts(s, true));
             s.target = QStringLiteral("_mine");
             insertPair(b, html5AnchorLinkTexts(s, false));
             s.buttonLink = true;
             insertPair(b, html5AnchorLinkTexts(s, false));
         }},
        {QStringLiteral("email"),
         [](ITextBuffer *b, const FieldValues &v) {
             insertPair(b, html5EmailLinkTexts({v.text, v.text, v.text.isEmpty() ? QString() : v.text + QStringLiteral("@example.org"), v.text}));
         }},
        {QStringLiteral("local-files"),
         [](ITextBuffer *b, const FieldValues &v) {
             insertPair(b, html5FileLinkTexts(v.link));
             for (LocalInsertKind kind : {LocalInsertKind::Image, LocalInsertKind::EmbeddedFile, LocalInsertKind::Flash,
                                          LocalInsertKind::Shockwave})
                 insertPair(b, html5LocalFileTexts(kind, orDefault(v.link, "movie.swf")));
             ptext(b, html5MovieObject(orDefault(v.link, "[YOUR-FLASH-FILE].swf"), "application/x-shockwave-flash"), QString());
             ptext(b, html5LinkButtonText(), QString());
         }},
        {QStringLiteral("sound"), [](ITextBuffer *b, const FieldValues &v) { ptext(b, html5SoundMarkup(v.link), QString()); }},
        {QStringLiteral("applet"),
         [](ITextBuffer *b, const FieldValues &v) {
             AppletChoices c;
             c.code = orDefault(v.link, "Applet.class");
             c.codebase = v.link;
             c.name = v.text;
             c.alt = v.text;
             c.width = v.length;
             c.height = v.length;
             c.vspace = v.length;
             c.hspace = v.length;
             c.cabbase = v.link;
             c.archive = v.link;
             c.mayScript = !v.text.isEmpty();
             for (const QString &align : {QStringLiteral("LEFT"), QStringLiteral("MIDDLE"), v.text}) {
                 c.align = align;
                 ptext(b, html5AppletMarkup(c), QString());
             }
         }},
        {QStringLiteral("new-window"),
         [](ITextBuffer *b, const FieldValues &v) {
             ptext(b, html5NewWindowMarkup(v.link, v.text, (1u << WindowFeatureCount) - 1, v.length, v.length), QString());
         }},
        {QStringLiteral("targets"),
         [](ITextBuffer *b, const FieldValues &v) {
             ptext(b, html5TargetMarkup(v.text), QString());
             insertPair(b, html5GotoTargetMarkup(v.text));
         }},
        {QStringLiteral("table"),
         [](ITextBuffer *b, const FieldValues &v) {
             TTableSettings s;
             s.rows = 3;
             s.columns = 3;
             s.width = v.length;
             s.height = v.length;
             s.percent = v.length.size() % 2 == 1;
             s.cellSpacing = v.length;
             s.cellPadding = v.length;
             s.cellAlignment = v.text.isEmpty() ? QStringLiteral("CENTER") : QStringLiteral("LEFT");
             s.borderWidth = v.text.isEmpty() ? QString() : QStringLiteral("2");
             s.useBackgroundColor = s.useBorderColor = s.useBackgroundImage = s.useLightDarkBorder = true;
             s.backgroundColor = s.borderColor = s.lightBorderColor = v.colour;
             s.darkBorderColor = QStringLiteral("navy");
             s.backgroundImage = v.link;
             s.caption = v.text;
             s.captionAlignment = v.text.isEmpty() ? QString() : QStringLiteral("BOTTOM");
             TTableCell spanning{v.text, {}};
             spanning.record.SetVars(QStringLiteral("2"), QStringLiteral("2"), v.length, v.length, v.colour);
             TTableCell odd{v.text, {}};
             odd.record.SetVars(v.text, v.text, v.length, v.key, QLatin1String(NoCellColorText));
             s.cells = {{spanning, odd, {}}, {{}, {}, {}}, {odd, {}, spanning}};
             insertPieces(b, html5CustomTablePieces(s));
             insertPieces(b, quickTablePieces(2, 2));
         }},
        {QStringLiteral("margins"),
         [](ITextBuffer *b, const FieldValues &v) {
             writeHtml5Margins(b, 0, int(v.text.size()), 10, 1000);
             writeHtml5Margins(b, 5, int(v.text.size()), 10, 1000);
         }},
        {QStringLiteral("properties"),
         [](ITextBuffer *b, const FieldValues &v) {
             PageProperties p;
             p.title = v.text;
             p.background = v.link;
             p.bgColor = p.textColor = p.linkColor = v.colour;
             p.vlinkColor = p.alinkColor = QStringLiteral("purple");
             p.underlineLinks = v.text.isEmpty();
             p.disableScrollbars = p.watermark = !v.text.isEmpty();
             b->setText(b->text().replace(QStringLiteral("<body>"),
                                          QStringLiteral("<body bgcolor=\"white\" text=\"black\" onload=\"start()\" background=\"x.gif\">")));
             writeHtml5PageProperties(b, p);
             writeHtml5PageProperties(b, readHtml5PageProperties(b));
         }},
        // The toolkit: the colour bar's tag, a text file as lines and as a page.
        {QStringLiteral("toolkit"),
         [](ITextBuffer *b, const FieldValues &v) {
             InsertColor(b, {255, 128, 0}, true, MarkupStyle::Html5);
             QTemporaryFile file;
             ASSERT_TRUE(file.open());
             file.write((v.text + QStringLiteral("\r\n") + v.text + QStringLiteral(" -- <p>")).toUtf8());
             file.close();
             ASSERT_TRUE(TGeneralFileCommands().ConvertTextFileToHTML(b, file.fileName(), false, MarkupStyle::Html5));
         }},
        {QStringLiteral("text-file-page"),
         [](ITextBuffer *b, const FieldValues &v) {
             QTemporaryFile file(QDir::tempPath() + QStringLiteral("/") + orDefault(v.text, "notes").remove(u'/') + QStringLiteral("-XXXXXX.txt"));
             ASSERT_TRUE(file.open());
             file.write(v.text.toUtf8());
             file.close();
             b->setText(QString());
             ASSERT_TRUE(TGeneralFileCommands().ConvertTextFileToHTML(b, file.fileName(), true, MarkupStyle::Html5));
         }},
    };
    return list;
}

// The checker's messages other than information, by file name.
QHash<QString, QStringList> problemsByFile(const TVnuSetup &setup, const QStringList &files)
{
    QProcess checker;
    checker.start(setup.java, vnuArguments(setup.jar, files));
    EXPECT_TRUE(checker.waitForFinished(300000)) << "the checker did not finish";
    const QByteArray report = checker.readAllStandardOutput();
    bool ok = false;
    const QList<TVnuMessage> messages = parseVnuReport(report, &ok);
    EXPECT_TRUE(ok) << "no JSON report: " << checker.readAllStandardError().toStdString();
    QHash<QString, QStringList> problems;
    for (const TVnuMessage &m : messages) {
        if (m.message.kind != QLatin1String("Info"))
            problems[QFileInfo(m.file).fileName()] << QStringLiteral("line %1: %2: %3").arg(m.message.line).arg(m.message.kind, m.message.text);
    }
    return problems;
}

TEST(Html5WizardMarkup, EveryWizardWritesValidHtml5ForEveryKindOfFieldValue)
{
    const TVnuSetup setup = findVnu({}, {QStringLiteral(QUORVANT_VNU_JAR)});
    if (!setup.isComplete())
        GTEST_SKIP() << "the W3C checker cannot run here (java: \"" << setup.java.toStdString() << "\", vnu.jar: \""
                     << setup.jar.toStdString() << "\"); scripts/dev install-validator installs both";
    resetToolkitGlobals();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QStringList files;
    QHash<QString, QString> pages;
    for (const auto &[wizard, write] : writers()) {
        for (const FieldValues &values : fieldValues()) {
            MemoryTextBuffer buffer;
            loadPage(buffer);
            write(&buffer, values);
            const QString name = wizard + u'-' + QLatin1String(values.name) + QStringLiteral(".html");
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(buffer.text().toUtf8());
            files << file.fileName();
            pages.insert(name, buffer.text());
        }
    }
    // The fixed insertions of the menus and bars, as a click puts them at the caret.
    TCatalogue catalogue = loadCatalogue();
    loadHtml5Steps(&catalogue);
    ASSERT_TRUE(catalogue.errors.isEmpty()) << catalogue.errors.join(u'\n').toStdString();
    // Where each element may stand: in the HEAD, in a table, a row, a fieldset.
    static const QList<QPair<QStringList, QString>> contexts = {
        {{QStringLiteral("meta"), QStringLiteral("style"), QStringLiteral("link"), QStringLiteral("base")},
         QString(Page).remove(Caret).replace(QStringLiteral("</head>"), Caret + QStringLiteral("</head>"))},
        {{QStringLiteral("caption"), QStringLiteral("colgroup"), QStringLiteral("col"), QStringLiteral("thead"),
          QStringLiteral("tbody"), QStringLiteral("tr")},
         QString(Page).replace(Caret, QStringLiteral("<table>") + Caret + QStringLiteral("<tr><td>cell</td></tr></table>"))},
        {{QStringLiteral("tfoot")}, QString(Page).replace(Caret, QStringLiteral("<table><tr><td>cell</td></tr>") + Caret + QStringLiteral("</table>"))},
        {{QStringLiteral("td"), QStringLiteral("th")},
         QString(Page).replace(Caret, QStringLiteral("<table><tr>") + Caret + QStringLiteral("</tr></table>"))},
        {{QStringLiteral("legend")}, QString(Page).replace(Caret, QStringLiteral("<fieldset>") + Caret + QStringLiteral("</fieldset>"))},
    };
    for (const TCatalogueEntry &entry : std::as_const(catalogue.entries)) {
        // BODY stands for the whole page's body: it has no place inside one.
        if (entry.html5Steps.isEmpty() || entry.name == QLatin1String("BODY1"))
            continue;
        const QString tag = entry.html5Steps.constLast().start.section(u'<', 1).section(QRegularExpression(QStringLiteral("[ >]")), 0, 0);
        QString page = Page;
        for (const auto &[tags, context] : contexts) {
            if (tags.contains(tag))
                page = context;
        }
        MemoryTextBuffer buffer;
        loadPage(buffer, page);
        for (const TInsertStep &step : entry.html5Steps) {
            // What a user types where the caret lands inside an attribute.
            const bool inAttribute = !step.end.isEmpty() && step.start.count(u'"') % 2 == 1;
            QString typed = tag == QLatin1String("tr") ? QStringLiteral("<td>cell</td>") : QString();
            if (inAttribute)
                typed = step.start.endsWith(QLatin1String("content=\"")) ? QStringLiteral("5") : QStringLiteral("red");
            ptext(&buffer, step.start + typed + step.end, QString());
        }
        const QString name = QStringLiteral("catalogue-") + entry.name + QStringLiteral(".html");
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(buffer.text().toUtf8());
        files << file.fileName();
        pages.insert(name, buffer.text());
    }

    const QHash<QString, QStringList> problems = problemsByFile(setup, files);
    for (auto it = problems.cbegin(); it != problems.cend(); ++it)
        ADD_FAILURE() << it.key().toStdString() << ":\n  " << it.value().join(QStringLiteral("\n  ")).toStdString()
                      << "\n" << pages.value(it.key()).toStdString();
    resetToolkitGlobals();
}

} // namespace
} // namespace Quorvant::Test
