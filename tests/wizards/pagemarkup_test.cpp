// What the formatting, page, media and target dialogs write, without the dialogs.
#include "formattingmarkup.h"
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
    EXPECT_EQ(newWindowMarkup(QStringLiteral("a'b"), QStringLiteral("It's"), 0, QString(), QString()),
              QStringLiteral("<script language=\"JavaScript\">\r\nwindow.open('a'b', 'It's', '')\r\n</script>\r\n"));
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

} // namespace
} // namespace Quorvant::Test
