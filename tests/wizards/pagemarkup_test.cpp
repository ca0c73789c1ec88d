// What the formatting, page, media and target dialogs write, without the dialogs.
#include "documentproperties.h"
#include "formattingmarkup.h"
#include "markupreader.h"
#include "mediamarkup.h"
#include "memoryeditor.h"
#include "pagemarkup.h"

#include <gtest/gtest.h>

namespace Quorvant::Test {
namespace {

TEST(FontMarkup, FacesSizeColourPositionAndStyles)
{
    struct Case
    {
        FontChoices choices;
        const char *start;
        const char *end;
    };
    const QString none;
    const Case cases[] = {
        {{{QStringLiteral("Verdana"), QStringLiteral("Arial"), none}, none, QStringLiteral("2 (10pt)"), none, fsBold | fsItalic},
         "<FONT FACE=\"Verdana,Arial\" SIZE=\"2\"><I><B>", "</B></I></FONT>"},
        {{}, "<FONT>", "</FONT>"},
        {{{none, none, QStringLiteral("Courier")}, none, none, none, 0}, "<FONT FACE=\"Courier\">", "</FONT>"},
        {{{}, none, QStringLiteral("+1"), none, 0}, "<FONT SIZE=\"+1\">", "</FONT>"},
        {{{}, QStringLiteral("superscript"), none, QStringLiteral("Red"), fsUnderline | fsBold | fsItalic},
         "<FONT COLOR=\"Red\"><SUP><I><B><U>", "</U></B></I></SUP></FONT>"},
        {{{}, QStringLiteral("SUBSCRIPT"), QStringLiteral("7 (36pt)"), none, fsDefinition | fsBlink},
         "<FONT SIZE=\"7\"><SUB><BLINK><DFN>", "</DFN></BLINK></SUB></FONT>"},
        {{{}, QStringLiteral("NORMAL"), none, none, fsStrikeThrough | fsTypewriter | fsCitation | fsKeyboard | fsSample | fsCode | fsVariable},
         "<FONT><CODE><VAR><STRIKE><TT><CITE><KBD><SAMP>", "</SAMP></KBD></CITE></TT></STRIKE></VAR></CODE></FONT>"},
    };
    for (const Case &c : cases) {
        const MarkupPair m = fontMarkup(c.choices);
        EXPECT_EQ(m.start, QLatin1String(c.start));
        EXPECT_EQ(m.end, QLatin1String(c.end));
    }
    EXPECT_EQ(fontSizePoints(QStringLiteral("5 (18pt)")), 18);
    EXPECT_EQ(fontSizePoints(QStringLiteral("+1")), 0);
}

TEST(RuleMarkup, AttributesInOrderAndTheDefaultsLeftOut)
{
    RuleChoices example;
    example.alignment = QStringLiteral("CENTER");
    example.percentWidth = QStringLiteral("50%");
    example.thickness = QStringLiteral("2");
    example.shaded = false;
    EXPECT_EQ(ruleMarkup(example), QStringLiteral("<HR ALIGN=\"CENTER\" WIDTH=\"50%\" NOSHADE SIZE=\"2\">"));
    EXPECT_EQ(ruleMarkup(RuleChoices{}), QStringLiteral("<HR>"));

    RuleChoices cleared;
    cleared.alignment.clear();
    cleared.color = QStringLiteral("#102030");
    EXPECT_EQ(ruleMarkup(cleared), QStringLiteral("<HR ALIGN=\"\" COLOR=\"#102030\">"));

    RuleChoices pixels;
    pixels.percentWidth = QStringLiteral("40%");
    pixels.widthInPixels = true;
    EXPECT_EQ(ruleMarkup(pixels), QStringLiteral("<HR>"));
    pixels.pixelWidth = QStringLiteral("300");
    EXPECT_EQ(ruleMarkup(pixels), QStringLiteral("<HR WIDTH=\"300\">"));
}

TEST(ListMarkup, EveryStyle)
{
    const QStringList items = {QStringLiteral("One"), QString(), QStringLiteral("Two")};
    EXPECT_EQ(listMarkup(ListStyle::Bullet, 0, QStringLiteral("Head"), {QStringLiteral("One")}),
              QStringLiteral("<UL>\r\n<LH>Head</LH>\r\n    <LI>One</LI>\r\n</UL>"));
    EXPECT_EQ(listMarkup(ListStyle::Bullet, 3, QString(), items),
              QStringLiteral("<UL TYPE=\"square\">\r\n    <LI>One</LI>\r\n    <LI></LI>\r\n    <LI>Two</LI>\r\n</UL>"));
    EXPECT_EQ(listMarkup(ListStyle::Numbered, 0, QString(), {}), QStringLiteral("<OL type=\"1\">\r\n</OL>"));
    EXPECT_EQ(listMarkup(ListStyle::Numbered, 2, QStringLiteral("H"), {QStringLiteral("x")}),
              QStringLiteral("<OL type=\"i\">\r\n<LH>H</LH>\r\n    <LI>x</LI>\r\n</OL>"));
    EXPECT_EQ(listMarkup(ListStyle::Definition, 0, QStringLiteral("ignored"), {QStringLiteral("Term")}),
              QStringLiteral("<DL>\r\n    <DT>Term</DT>\r\n    <DD>[Put Item Definition Here]</DD>\r\n</DL>"));
    EXPECT_EQ(listMarkup(ListStyle::ItemsOnly, 0, QStringLiteral("ignored"), {QStringLiteral("a"), QStringLiteral("b")}),
              QStringLiteral("\r\n<LI>a</LI>\r\n<LI>b</LI>"));
}

TEST(CommentMarkup, TextOrAroundTheSelection)
{
    EXPECT_EQ(commentMarkup(QStringLiteral("a\r\nb")), (MarkupPair{QStringLiteral("<!-- a\r\nb -->"), QString()}));
    EXPECT_EQ(commentMarkup(QString()), (MarkupPair{QStringLiteral("<!-- "), QStringLiteral(" -->")}));
}

TEST(PageMarkup, MarginsAndTransitions)
{
    EXPECT_EQ(marginsMarkup(0, 0, 0, 0),
              QStringLiteral("<BODY LEFTMARGIN=\"0\" TOPMARGIN=\"0\" RIGHTMARGIN=\"0\" BOTTOMMARGIN=\"0\">"));
    EXPECT_EQ(marginsMarkup(1, 2, 3, -4),
              QStringLiteral("<BODY LEFTMARGIN=\"2\" TOPMARGIN=\"1\" RIGHTMARGIN=\"-4\" BOTTOMMARGIN=\"3\">"));

    EXPECT_EQ(transitionMarkup(QStringLiteral("Page-Enter"), 3, QStringLiteral("Circle In")),
              QStringLiteral("<META HTTP-EQUIV=\"Page-Enter\" CONTENT=\"revealTrans(Duration=3.0,Transition=2)\">"));
    EXPECT_EQ(transitionMarkup(QString(), 1, QStringLiteral("Blend")),
              QStringLiteral("<META HTTP-EQUIV=\"\" CONTENT=\"blendTrans(Duration=1.0)\">"));
    EXPECT_EQ(transitionMarkup(QStringLiteral("Site-Exit"), 100, QStringLiteral("Random")),
              QStringLiteral("<META HTTP-EQUIV=\"Site-Exit\" CONTENT=\"revealTrans(Duration=100.0,Transition=23)\">"));
    EXPECT_EQ(transitionMarkup(QStringLiteral("Page-Exit"), 2, QStringLiteral("Random Bars Vertical")),
              QStringLiteral("<META HTTP-EQUIV=\"Page-Exit\" CONTENT=\"revealTrans(Duration=2.0,Transition=22)\">"));
    EXPECT_EQ(transitionMarkup(QStringLiteral("Page-Enter"), 3, QStringLiteral("No Effect")), QString());
    EXPECT_EQ(transitionMarkup(QStringLiteral("Page-Enter"), 3, QString()), QString());
    EXPECT_EQ(transitionEffects().size(), 26);
}

TEST(MediaMarkup, SoundAppletAndNewWindow)
{
    EXPECT_EQ(soundMarkup(QString()), QStringLiteral("<embed src=\"\" hidden=\"True\">\r\n<bgsound src=\"\">"));
    EXPECT_EQ(soundMarkup(QStringLiteral("a.wav")), QStringLiteral("<embed src=\"a.wav\" hidden=\"True\">\r\n<bgsound src=\"a.wav\">"));

    AppletChoices applet;
    EXPECT_EQ(appletMarkup(applet), QStringLiteral("<APPLET CODE=\"\" WIDTH=\"\" HEIGHT=\"\">"));
    applet.code = QStringLiteral("Menu.class");
    applet.codebase = QStringLiteral("classes");
    applet.name = QStringLiteral("menu");
    applet.align = QStringLiteral("LEFT");
    applet.archive = QStringLiteral("m.jar");
    applet.mayScript = true;
    EXPECT_EQ(appletMarkup(applet), QStringLiteral("<APPLET CODE=\"Menu.class\" WIDTH=\"\" HEIGHT=\"\" CODEBASE=\"classes\" "
                                                   "NAME=\"menu\" ALIGN=\"LEFT\" ARCHIVE=\"m.jar\" MAYSCRIPT>"));

    const unsigned scrollResize = (1u << 2) | (1u << 3);
    EXPECT_EQ(newWindowMarkup(QStringLiteral("news.htm"), QStringLiteral("News"), scrollResize, QStringLiteral("400"), QString()),
              QStringLiteral("<script language=\"JavaScript\">\r\nwindow.open('news.htm', 'News', "
                             "'scrollbars,resizable,width=400')\r\n</script>\r\n"));
    // A quote in the URL or the title cannot end its script string.
    EXPECT_EQ(newWindowMarkup(QStringLiteral("a'b"), QStringLiteral("It's"), 0, QString(), QString()),
              QStringLiteral("<script language=\"JavaScript\">\r\nwindow.open('a\\'b', 'It\\'s', '')\r\n</script>\r\n"));
    EXPECT_EQ(newWindowMarkup(QString(), QString(), 1u << 7, QString(), QStringLiteral("300")),
              QStringLiteral("<script language=\"JavaScript\">\r\nwindow.open('', '', 'fullscreen,height=300')\r\n</script>\r\n"));
    EXPECT_EQ(newWindowMarkup(QString(), QString(), 1u << 7, QString(), QString()),
              QStringLiteral("<script language=\"JavaScript\">\r\nwindow.open('', '', 'fullscreen')\r\n</script>\r\n"));
}

TEST(TargetMarkup, AnchorsListedOncePerLine)
{
    MemoryTextBuffer buffer;
    buffer.setText(QStringLiteral("<a name=\"one\"><a name=\"two\">\r\n<A NAME=\"Top\">x\r\n<a name=\"\">\r\n"
                                  "<a href=\"#x\">\r\n<a name=\"open"));
    EXPECT_EQ(documentTargets(&buffer), (QStringList{QStringLiteral("one"), QStringLiteral("Top"), QStringLiteral("open")}));
    EXPECT_EQ(targetMarkup(QStringLiteral("top")), QStringLiteral("<a name=\"top\">"));
    EXPECT_EQ(gotoTargetMarkup(QString()), (MarkupPair{QStringLiteral("<a href=\"#\">"), QStringLiteral("</a>")}));
    EXPECT_EQ(gotoTargetMarkup(QStringLiteral("Top")).start, QStringLiteral("<a href=\"#Top\">"));
    EXPECT_TRUE(documentTargets(nullptr).isEmpty());
}

namespace {
auto reader(const char *tag, const char *name)
{
    return [tag, name](const QString &html) { return attributeOf(html, QLatin1String(tag), QLatin1String(name)); };
}
} // namespace

// Every field of the font and rule dialogs, holding what a user may type,
// reads back from the tag as typed.
TEST(TypedValues, FontAndRuleDialogs)
{
    auto font = [](void (*set)(FontChoices &, const QString &)) {
        return [set](const QString &typed) {
            FontChoices c;
            set(c, typed);
            const MarkupPair m = fontMarkup(c);
            return m.start + m.end;
        };
    };
    auto rule = [](void (*set)(RuleChoices &, const QString &)) {
        return [set](const QString &typed) {
            RuleChoices c;
            set(c, typed);
            return ruleMarkup(c);
        };
    };
    expectEveryFieldReadsBack({
        {"font #1", font([](FontChoices &c, const QString &v) { c.faces[0] = v; }), reader("FONT", "FACE")},
        {"font #3", font([](FontChoices &c, const QString &v) { c.faces[2] = v; }), reader("FONT", "FACE")},
        {"text size", font([](FontChoices &c, const QString &v) { c.size = v; }), reader("FONT", "SIZE")},
        {"font colour", font([](FontChoices &c, const QString &v) { c.color = v; }), reader("FONT", "COLOR")},
        {"rule alignment", rule([](RuleChoices &c, const QString &v) { c.alignment = v; }), reader("HR", "ALIGN")},
        {"percent width", rule([](RuleChoices &c, const QString &v) { c.percentWidth = v; }), reader("HR", "WIDTH")},
        {"pixel width", rule([](RuleChoices &c, const QString &v) { c.widthInPixels = true; c.pixelWidth = v; }),
         reader("HR", "WIDTH")},
        {"thickness", rule([](RuleChoices &c, const QString &v) { c.thickness = v; }), reader("HR", "SIZE")},
        {"rule colour", rule([](RuleChoices &c, const QString &v) { c.color = v; }), reader("HR", "COLOR")},
    });
}

// The document properties' BODY attributes and the transition's event.
TEST(TypedValues, PagePropertiesAndTransitions)
{
    auto body = [](void (*set)(PageProperties &, const QString &)) {
        return [set](const QString &typed) {
            PageProperties p;
            set(p, typed);
            return bodyStartTag(p);
        };
    };
    expectEveryFieldReadsBack({
        {"background colour", body([](PageProperties &p, const QString &v) { p.bgColor = v; }), reader("BODY", "BGCOLOR")},
        {"text colour", body([](PageProperties &p, const QString &v) { p.textColor = v; }), reader("BODY", "TEXT")},
        {"link colour", body([](PageProperties &p, const QString &v) { p.linkColor = v; }), reader("BODY", "LINK")},
        {"visited link colour", body([](PageProperties &p, const QString &v) { p.vlinkColor = v; }), reader("BODY", "VLINK")},
        {"active link colour", body([](PageProperties &p, const QString &v) { p.alinkColor = v; }), reader("BODY", "ALINK")},
        {"background image", body([](PageProperties &p, const QString &v) { p.background = v; }), reader("BODY", "BACKGROUND")},
        {"transition event", [](const QString &v) { return transitionMarkup(v, 2, QStringLiteral("Blend")); },
         reader("META", "HTTP-EQUIV")},
    });
}

// Sound, applet, new window and targets: attributes read back as typed, and
// the new window's URL, title and sizes as the script's strings say them.
TEST(TypedValues, MediaAndTargetDialogs)
{
    auto applet = [](void (*set)(AppletChoices &, const QString &)) {
        return [set](const QString &typed) {
            AppletChoices c;
            set(c, typed);
            return appletMarkup(c);
        };
    };
    auto window = [](int field) {
        return [field](const QString &typed) {
            QString values[4] = {QStringLiteral("u"), QStringLiteral("t"), QStringLiteral("1"), QStringLiteral("2")};
            values[field] = typed;
            return newWindowMarkup(values[0], values[1], 1u << 2, values[2], values[3]);
        };
    };
    auto scriptString = [](int i) {
        return [i](const QString &html) { return readScriptStrings(html.split(QStringLiteral("\r\n")).value(1)).value(i); };
    };
    // The feature list is "scrollbars,width=W,height=H".
    auto width = [scriptString](const QString &html) {
        const QString features = scriptString(2)(html);
        return features.mid(17, features.lastIndexOf(QLatin1String(",height=")) - 17);
    };
    auto height = [scriptString](const QString &html) {
        const QString features = scriptString(2)(html);
        return features.mid(features.lastIndexOf(QLatin1String(",height=")) + 8);
    };
    // The script element holds three strings and nothing else of markup.
    const auto scriptShape = [](const QString &html) {
        const QStringList lines = html.split(QStringLiteral("\r\n"));
        return QStringList{lines.value(0), QString::number(lines.size()), QString::number(readScriptStrings(lines.value(1)).size()),
                           lines.value(1).left(13), lines.value(1).right(1), lines.value(2)};
    };
    expectEveryFieldReadsBack({
        {"sound file (embed)", [](const QString &v) { return soundMarkup(v); }, reader("embed", "src")},
        {"sound file (bgsound)", [](const QString &v) { return soundMarkup(v); }, reader("bgsound", "src")},
        {"applet code", applet([](AppletChoices &c, const QString &v) { c.code = v; }), reader("APPLET", "CODE")},
        {"applet codebase", applet([](AppletChoices &c, const QString &v) { c.codebase = v; }), reader("APPLET", "CODEBASE")},
        {"applet name", applet([](AppletChoices &c, const QString &v) { c.name = v; }), reader("APPLET", "NAME")},
        {"applet alt", applet([](AppletChoices &c, const QString &v) { c.alt = v; }), reader("APPLET", "ALT")},
        {"applet width", applet([](AppletChoices &c, const QString &v) { c.width = v; }), reader("APPLET", "WIDTH")},
        {"applet height", applet([](AppletChoices &c, const QString &v) { c.height = v; }), reader("APPLET", "HEIGHT")},
        {"applet vspace", applet([](AppletChoices &c, const QString &v) { c.vspace = v; }), reader("APPLET", "VSPACE")},
        {"applet hspace", applet([](AppletChoices &c, const QString &v) { c.hspace = v; }), reader("APPLET", "HSPACE")},
        {"applet align", applet([](AppletChoices &c, const QString &v) { c.align = v; }), reader("APPLET", "ALIGN")},
        {"applet cabinet", applet([](AppletChoices &c, const QString &v) { c.cabbase = v; }), reader("APPLET", "CABBASE")},
        {"applet archive", applet([](AppletChoices &c, const QString &v) { c.archive = v; }), reader("APPLET", "ARCHIVE")},
        {"window URL", window(0), scriptString(0), false, scriptShape},
        {"window title", window(1), scriptString(1), false, scriptShape},
        {"window width", window(2), width, false, scriptShape},
        {"window height", window(3), height, false, scriptShape},
        {"target name", [](const QString &v) { return targetMarkup(v); }, reader("a", "name")},
        {"goto target", [](const QString &v) { return gotoTargetMarkup(v).start; },
         [](const QString &html) { return attributeOf(html, QStringLiteral("a"), QStringLiteral("href")).mid(1); }},
    });
}

} // namespace
} // namespace Quorvant::Test
