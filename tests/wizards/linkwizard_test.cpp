// The texts of the image, link and e-mail link wizards and of the "Local"
// file list.
#include "imagewizard.h"
#include "linkwizard.h"
#include "markupreader.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace Quorvant::Test {
namespace {

TEST(ImageWizardText, AlwaysWritesSourceSizeAndBorder)
{
    TImageSettings s;
    s.fileName = QStringLiteral("/site/logo.gif");
    EXPECT_EQ(imageStartText(s, QStringLiteral("/site/index.htm")),
              QStringLiteral("<IMG SRC=\"logo.gif\" WIDTH=\"\" HEIGHT=\"\" BORDER=\"0\">"));
    s.border = QStringLiteral("thick");
    EXPECT_EQ(imageStartText(s, {}), QStringLiteral("<IMG SRC=\"file:///site/logo.gif\" WIDTH=\"\" HEIGHT=\"\" BORDER=\"0\">"));
    s.border = QStringLiteral("-3");
    EXPECT_TRUE(imageStartText(s, {}).contains(QStringLiteral(" BORDER=\"-3\"")));
}

TEST(ImageWizardText, OptionalAttributesInOrder)
{
    TImageSettings s;
    s.fileName = QStringLiteral("/site/logo.gif");
    s.width = QStringLiteral("88");
    s.height = QStringLiteral("31");
    s.alternateText = QStringLiteral("Logo");
    EXPECT_EQ(imageStartText(s, QStringLiteral("/site/index.htm")),
              QStringLiteral("<IMG SRC=\"logo.gif\" WIDTH=\"88\" HEIGHT=\"31\" BORDER=\"0\" ALT=\"Logo\">"));
    s.hSpacing = QStringLiteral("5");
    s.vSpacing = QStringLiteral("6");
    s.lowResFileName = QStringLiteral("/site/low/logo.gif");
    s.alignment = QStringLiteral("Left");
    s.useMap = QStringLiteral("nav");
    s.isMap = true;
    EXPECT_EQ(imageStartText(s, QStringLiteral("/site/index.htm")),
              QStringLiteral("<IMG SRC=\"logo.gif\" WIDTH=\"88\" HEIGHT=\"31\" BORDER=\"0\" HSPACE=\"5\" VSPACE=\"6\""
                             " LOWSRC=\"low/logo.gif\" ALT=\"Logo\" ALIGN=\"Left\" USEMAP=\"#nav\" ISMAP>"));
}

TEST(ImageWizardSize, ReadsTheHeaderOnly)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("wide.png"));
    ASSERT_TRUE(QImage(88, 31, QImage::Format_RGB32).save(png));
    EXPECT_EQ(imageSize(png), QSize(88, 31));

    // The picture data replaced by junk: decoding fails, the header still
    // gives the size.
    QFile f(png);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    f.close();
    const qsizetype data = bytes.indexOf("IDAT") + 4;
    ASSERT_GT(data, 4);
    bytes = bytes.left(data) + QByteArray(64, '\xff');
    const QString cut = dir.filePath(QStringLiteral("cut.png"));
    QFile out(cut);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    EXPECT_TRUE(QImage(cut).isNull());
    EXPECT_EQ(imageSize(cut), QSize(88, 31));

    EXPECT_FALSE(imageSize(dir.filePath(QStringLiteral("missing.gif"))).isValid());
    EXPECT_FALSE(imageSize(dir.path()).isValid());
}

TEST(ImageWizardSize, BrowsableImagesByExtensionInAnyCase)
{
    for (const char *name : {"a.gif", "PHOTO.JPG", "b.jpeg", "c.Png", "d.bmp"})
        EXPECT_TRUE(isBrowsableImage(QLatin1String(name))) << name;
    for (const char *name : {"page.htm", "gif", "notes.gif.txt", "movie.swf"})
        EXPECT_FALSE(isBrowsableImage(QLatin1String(name))) << name;
}

TEST(LinkWizardText, StandardLinkAttributesAndStatusBar)
{
    TLinkSettings s;
    EXPECT_EQ(anchorLinkTexts(s, false), (MarkupPair{QStringLiteral("<A HREF=\"\">"), QStringLiteral("</A>")}));
    s.url = QStringLiteral("page.htm");
    s.target = QStringLiteral("_BLANK");
    s.name = QStringLiteral("top");
    s.statusBar = QStringLiteral("Go on");
    s.title = QStringLiteral("T");
    s.accessKey = QStringLiteral("k");
    EXPECT_EQ(anchorLinkTexts(s, true).start,
              QStringLiteral("<A HREF=\"page.htm\" TARGET=\"_BLANK\" NAME=\"top\""
                             " onMouseOver=\"window.status='Go on'; return true;\""
                             " onMouseOut=\"window.status=''; return true;\" TITLE=\"T\" ACCESSKEY=\"k\">"));
}

TEST(LinkWizardText, DescriptionIsTheLinkTextWhereNothingIsSelected)
{
    TLinkSettings s;
    s.url = QStringLiteral("menu.htm");
    s.description = QStringLiteral("Fish & <chips>");
    // Nothing selected: the description, as text, is the link's text.
    EXPECT_EQ(anchorLinkTexts(s, false),
              (MarkupPair{QStringLiteral("<A HREF=\"menu.htm\">Fish &amp; &lt;chips>"), QStringLiteral("</A>")}));
    // Around a selection the selection stays the link's text.
    EXPECT_EQ(anchorLinkTexts(s, true), (MarkupPair{QStringLiteral("<A HREF=\"menu.htm\">"), QStringLiteral("</A>")}));
    s.description.clear();
    EXPECT_EQ(anchorLinkTexts(s, false), (MarkupPair{QStringLiteral("<A HREF=\"menu.htm\">"), QStringLiteral("</A>")}));
}

TEST(LinkWizardText, ButtonLinkIgnoresTheStandardFields)
{
    TLinkSettings s;
    s.url = QStringLiteral("next.htm");
    s.description = QStringLiteral("Next page");
    s.target = QStringLiteral("_TOP");
    s.name = QStringLiteral("n");
    s.statusBar = QStringLiteral("s");
    s.title = QStringLiteral("t");
    s.accessKey = QStringLiteral("a");
    s.buttonLink = true;
    EXPECT_EQ(anchorLinkTexts(s, false),
              (MarkupPair{QStringLiteral("<FORM><INPUT TYPE=\"BUTTON\" VALUE=\"Next page\""
                                         " onClick=\"window.location.href='next.htm'\">"),
                          QStringLiteral("</FORM>")}));
}

TEST(LinkWizardText, EmailLinkSubjectAndBody)
{
    struct Case { TEmailLinkSettings s; QString start; };
    const Case cases[] = {
        {{QStringLiteral("Write"), {}, QStringLiteral("ann@example.org"), {}},
         QStringLiteral("<A HREF=\"mailto:ann@example.org\">Write")},
        {{QStringLiteral("Write"), QStringLiteral("Hi there"), QStringLiteral("ann@example.org"), QStringLiteral("Line 1\r\nLine 2")},
         QStringLiteral("<A HREF=\"mailto:ann@example.org?subject=Hi%20there&amp;Body=Line%201%0D%0ALine%202\">Write")},
        {{{}, {}, QStringLiteral("ann"), QStringLiteral("Body & more")},
         QStringLiteral("<A HREF=\"mailto:ann?Body=Body%20%26%20more\">")},
        {{QStringLiteral("Order"), QStringLiteral("rye & sourdough?"), QStringLiteral("bakery@example.org"),
          QString::fromUtf16(u"Two loaves,\r\nbitte sch\u00f6n #5")},
         QStringLiteral("<A HREF=\"mailto:bakery@example.org?subject=rye%20%26%20sourdough%3F"
                        "&amp;Body=Two%20loaves,%0D%0Abitte%20sch%C3%B6n%20%235\">Order")},
        // The address cannot end the HREF nor start the header fields.
        {{{}, QStringLiteral("s"), QStringLiteral("x\"><b>@example.org?cc=y#z"), {}},
         QStringLiteral("<A HREF=\"mailto:x%22%3E%3Cb%3E@example.org%3Fcc%3Dy%23z?subject=s\">")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(emailLinkTexts(c.s), (MarkupPair{c.start, QStringLiteral("</A>")}));
    EXPECT_TRUE(emailAddressLooksInvalid(QStringLiteral("ann.example.org")));
    EXPECT_FALSE(emailAddressLooksInvalid(QStringLiteral("ann@example.org")));
}

TEST(LinkWizardText, LocalFileInsertionsAndMovieTemplates)
{
    const QString link = QStringLiteral("media/intro.swf");
    EXPECT_EQ(localFileTexts(LocalInsertKind::Image, link), (MarkupPair{QStringLiteral("<img src=\"media/intro.swf\">"), {}}));
    EXPECT_EQ(localFileTexts(LocalInsertKind::EmbeddedFile, link),
              (MarkupPair{QStringLiteral("<embed src=\"media/intro.swf\">"), QStringLiteral("</embed>")}));
    EXPECT_EQ(fileLinkTexts(link), (MarkupPair{QStringLiteral("<A HREF=\"media/intro.swf\">"), QStringLiteral("</A>")}));

    const QStringList flash = localFileTexts(LocalInsertKind::Flash, link).start.split(QStringLiteral("\r\n"));
    ASSERT_EQ(flash.size(), 5);
    EXPECT_TRUE(flash.at(0).startsWith(QStringLiteral("<object classid=\"clsid:d27cdb6e-ae6d-11cf-96b8-444553540000\" codebase=\"")));
    EXPECT_TRUE(flash.at(0).endsWith(QStringLiteral("/pub/shockwave/cabs/flash/swflash.cab#3,0,0,0\" width=\"32\" height=\"32\">")));
    EXPECT_EQ(flash.at(1), QStringLiteral("    <param name=\"src\" value=\"media/intro.swf\">"));
    EXPECT_TRUE(flash.at(2).startsWith(QStringLiteral("    <embed src=\"media/intro.swf\" pluginspage=\"")));
    EXPECT_TRUE(flash.at(2).endsWith(QStringLiteral("/shockwave/download/\" type=\"application/x-shockwave-flash\" width=\"32\" height=\"32\">")));
    EXPECT_EQ(flash.at(3), QStringLiteral("    </embed>"));
    EXPECT_EQ(flash.at(4), QStringLiteral("</object>"));

    const QString shockwave = localFileTexts(LocalInsertKind::Shockwave, link).start;
    EXPECT_TRUE(shockwave.endsWith(QStringLiteral("</object>\r\n")));
    EXPECT_TRUE(shockwave.contains(QStringLiteral("/director/cabs/sw.cab#version=6,0,1,0\"")));
    EXPECT_TRUE(shockwave.contains(QStringLiteral(" type=\"application/x-director\"")));
    // The same templates as the toolbar buttons, with the file in place of the placeholder.
    EXPECT_EQ(flashTemplate(QStringLiteral("[YOUR-FLASH-FILE].swf")).count(QStringLiteral("[YOUR-FLASH-FILE].swf")), 2);
}

// Every field of the image dialog, holding what a user may type, reads back
// from the IMG tag as typed.
TEST(TypedValues, ImageDialog)
{
    const QString page = QStringLiteral("/site/index.htm");
    auto img = [page](void (*set)(TImageSettings &, const QString &)) {
        return [page, set](const QString &typed) {
            TImageSettings s;
            s.fileName = QStringLiteral("/site/logo.gif");
            set(s, typed);
            return imageStartText(s, page);
        };
    };
    auto read = [](const char *name) {
        return [name](const QString &html) { return attributeOf(html, QStringLiteral("IMG"), QLatin1String(name)); };
    };
    expectEveryFieldReadsBack({
        {"file name", img([](TImageSettings &s, const QString &v) { s.fileName = QStringLiteral("/site/") + v; }), read("SRC")},
        {"alternate text", img([](TImageSettings &s, const QString &v) { s.alternateText = v; }), read("ALT")},
        {"width", img([](TImageSettings &s, const QString &v) { s.width = v; }), read("WIDTH")},
        {"height", img([](TImageSettings &s, const QString &v) { s.height = v; }), read("HEIGHT")},
        {"alignment", img([](TImageSettings &s, const QString &v) { s.alignment = v; }), read("ALIGN")},
        {"hspacing", img([](TImageSettings &s, const QString &v) { s.hSpacing = v; }), read("HSPACE")},
        {"vspacing", img([](TImageSettings &s, const QString &v) { s.vSpacing = v; }), read("VSPACE")},
        {"low resolution", img([](TImageSettings &s, const QString &v) { s.lowResFileName = QStringLiteral("/site/") + v; }),
         read("LOWSRC")},
        {"use map", img([](TImageSettings &s, const QString &v) { s.useMap = v; }),
         [](const QString &html) { return attributeOf(html, QStringLiteral("IMG"), QStringLiteral("USEMAP")).mid(1); }},
    });
}

// The link dialog's fields: attributes, the status bar text inside its
// script, the description as link text or as the button's caption.
TEST(TypedValues, LinkDialog)
{
    auto link = [](void (*set)(TLinkSettings &, const QString &), bool button = false) {
        return [set, button](const QString &typed) {
            TLinkSettings s;
            s.url = QStringLiteral("page.htm");
            s.buttonLink = button;
            set(s, typed);
            const MarkupPair m = anchorLinkTexts(s, false);
            return m.start + m.end;
        };
    };
    auto read = [](const char *tag, const char *name) {
        return [tag, name](const QString &html) { return attributeOf(html, QLatin1String(tag), QLatin1String(name)); };
    };
    auto script = [](const char *tag, const char *name) {
        return [tag, name](const QString &html) {
            return readScriptStrings(attributeOf(html, QLatin1String(tag), QLatin1String(name))).value(0);
        };
    };
    expectEveryFieldReadsBack({
        {"URL", link([](TLinkSettings &s, const QString &v) { s.url = v; }), read("A", "HREF")},
        {"target", link([](TLinkSettings &s, const QString &v) { s.target = v; }), read("A", "TARGET")},
        {"name", link([](TLinkSettings &s, const QString &v) { s.name = v; }), read("A", "NAME")},
        {"status bar", link([](TLinkSettings &s, const QString &v) { s.statusBar = v; }), script("A", "onMouseOver")},
        {"title", link([](TLinkSettings &s, const QString &v) { s.title = v; }), read("A", "TITLE")},
        {"access key", link([](TLinkSettings &s, const QString &v) { s.accessKey = v; }), read("A", "ACCESSKEY")},
        {"description", link([](TLinkSettings &s, const QString &v) { s.description = v; }),
         [](const QString &html) {
             const ReadTag a = readStartTag(html);
             return decodeReferences(html.mid(a.end, html.lastIndexOf(QLatin1String("</A>")) - a.end));
         }},
        {"button caption", link([](TLinkSettings &s, const QString &v) { s.description = v; }, true), read("INPUT", "VALUE")},
        {"button URL", link([](TLinkSettings &s, const QString &v) { s.url = v; }, true), script("INPUT", "onClick")},
    });
}

// The e-mail dialog: address, subject and message read back from the
// mailto: link, the HREF read as a browser reads it.
TEST(TypedValues, EmailDialog)
{
    auto mail = [](void (*set)(TEmailLinkSettings &, const QString &)) {
        return [set](const QString &typed) {
            TEmailLinkSettings s{QStringLiteral("Write"), QStringLiteral("s"), QStringLiteral("ann@example.org"),
                                 QStringLiteral("m")};
            set(s, typed);
            return emailLinkTexts(s).start;
        };
    };
    auto href = [](const QString &html) { return readMailto(attributeOf(html, QStringLiteral("A"), QStringLiteral("HREF"))); };
    auto field = [href](int i) { return [href, i](const QString &html) { return href(html).fields.value(i).second; }; };
    const auto shape = [href](const QString &html) {
        QStringList names;
        for (const auto &f : href(html).fields)
            names << f.first;
        return tagShape(html) + names;
    };
    expectEveryFieldReadsBack({
        {"address", mail([](TEmailLinkSettings &s, const QString &v) { s.address = v; }),
         [href](const QString &html) { return href(html).address; }, false, shape},
        {"subject", mail([](TEmailLinkSettings &s, const QString &v) { s.subject = v; }), field(0), false, shape},
        {"message", mail([](TEmailLinkSettings &s, const QString &v) { s.message = v + QStringLiteral("\r\nline 2"); }),
         [field](const QString &html) { return field(1)(html).chopped(8); }, false, shape},
    });
}

// "Link to local file", the "Local" list's insertions and the movie
// templates: the file's link in every attribute that holds it.
TEST(TypedValues, LocalFileLinks)
{
    auto start = [](LocalInsertKind kind) { return [kind](const QString &link) { return localFileTexts(kind, link).start; }; };
    auto read = [](const char *tag, const char *name) {
        return [tag, name](const QString &html) { return attributeOf(html, QLatin1String(tag), QLatin1String(name)); };
    };
    expectEveryFieldReadsBack({
        {"linked file", [](const QString &link) { return fileLinkTexts(link).start; }, read("A", "HREF")},
        {"image", start(LocalInsertKind::Image), read("img", "src")},
        {"embedded file", start(LocalInsertKind::EmbeddedFile), read("embed", "src")},
        {"flash param", start(LocalInsertKind::Flash), read("param", "value")},
        {"flash embed", start(LocalInsertKind::Flash), read("embed", "src")},
        {"shockwave embed", start(LocalInsertKind::Shockwave), read("embed", "src")},
    });
}

} // namespace
} // namespace Quorvant::Test
