// The texts of the image, link and e-mail link wizards and of the "Local"
// file list.
#include "imagewizard.h"
#include "linkwizard.h"

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
    EXPECT_EQ(anchorLinkTexts(s), (MarkupPair{QStringLiteral("<A HREF=\"\">"), QStringLiteral("</A>")}));
    s.url = QStringLiteral("page.htm");
    s.target = QStringLiteral("_BLANK");
    s.name = QStringLiteral("top");
    s.description = QStringLiteral("not used");
    s.statusBar = QStringLiteral("Go on");
    s.title = QStringLiteral("T");
    s.accessKey = QStringLiteral("k");
    EXPECT_EQ(anchorLinkTexts(s).start,
              QStringLiteral("<A HREF=\"page.htm\" TARGET=\"_BLANK\" NAME=\"top\""
                             " onMouseOver=\"window.status='Go on'; return true;\""
                             " onMouseOut=\"window.status=''; return true;\" TITLE=\"T\" ACCESSKEY=\"k\">"));
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
    EXPECT_EQ(anchorLinkTexts(s),
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
         QStringLiteral("<A HREF=\"mailto:ann@example.org?subject=Hi there&Body=Line 1\r\nLine 2\">Write")},
        {{{}, {}, QStringLiteral("ann"), QStringLiteral("Body & more")},
         QStringLiteral("<A HREF=\"mailto:ann?Body=Body & more\">")},
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

} // namespace
} // namespace Quorvant::Test
