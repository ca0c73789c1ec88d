#include "linkwizard.h"

#include "attributetext.h"
#include "wizardhtml.h"

namespace Quorvant {

namespace {

QString movieTemplate(const QString &link, const char *classId, const char *codebase, const char *type)
{
    const QString crLf = QStringLiteral("\r\n");
    return QStringLiteral("<object") + htmlAttribute(QStringLiteral("classid"), QLatin1String(classId))
           + htmlAttribute(QStringLiteral("codebase"), QLatin1String(codebase))
           + htmlAttribute(QStringLiteral("width"), QStringLiteral("32"))
           + htmlAttribute(QStringLiteral("height"), QStringLiteral("32")) + QLatin1Char('>') + crLf
           + QStringLiteral("    <param") + htmlAttribute(QStringLiteral("name"), QStringLiteral("src"))
           + htmlAttribute(QStringLiteral("value"), link) + QLatin1Char('>') + crLf
           + QStringLiteral("    <embed") + htmlAttribute(QStringLiteral("src"), link)
           + htmlAttribute(QStringLiteral("pluginspage"), QStringLiteral("http://www.macromedia.com/shockwave/download/"))
           + htmlAttribute(QStringLiteral("type"), QLatin1String(type))
           + htmlAttribute(QStringLiteral("width"), QStringLiteral("32"))
           + htmlAttribute(QStringLiteral("height"), QStringLiteral("32")) + QLatin1Char('>') + crLf
           + QStringLiteral("    </embed>") + crLf + QStringLiteral("</object>");
}

} // namespace

MarkupPair anchorLinkTexts(const TLinkSettings &s, bool aroundSelection)
{
    if (s.buttonLink) {
        return {QStringLiteral("<FORM><INPUT") + htmlAttribute(QStringLiteral("TYPE"), QStringLiteral("BUTTON"))
                    + htmlAttribute(QStringLiteral("VALUE"), s.description)
                    + htmlAttribute(QStringLiteral("onClick"),
                                    QStringLiteral("window.location.href='") + scriptStringText(s.url) + QLatin1Char('\''))
                    + QLatin1Char('>'),
                QStringLiteral("</FORM>")};
    }
    QString start = QStringLiteral("<A") + htmlAttribute(QStringLiteral("HREF"), s.url);
    start += optionalAttribute(QStringLiteral("TARGET"), s.target);
    start += optionalAttribute(QStringLiteral("NAME"), s.name);
    if (!s.statusBar.isEmpty()) {
        start += htmlAttribute(QStringLiteral("onMouseOver"),
                               QStringLiteral("window.status='") + scriptStringText(s.statusBar) + QStringLiteral("'; return true;"));
        start += QStringLiteral(" onMouseOut=\"window.status=''; return true;\"");
    }
    start += optionalAttribute(QStringLiteral("TITLE"), s.title);
    start += optionalAttribute(QStringLiteral("ACCESSKEY"), s.accessKey);
    start += QLatin1Char('>');
    if (!aroundSelection)
        start += elementText(s.description);
    return {start, QStringLiteral("</A>")};
}

bool emailAddressLooksInvalid(const QString &address)
{
    return !address.contains(QLatin1Char('@'));
}

QString emailHref(const TEmailLinkSettings &s)
{
    QString href = QStringLiteral("mailto:") + mailtoText(s.address);
    if (!s.subject.isEmpty())
        href += QStringLiteral("?subject=") + mailtoText(s.subject);
    if (!s.message.isEmpty())
        href += (s.subject.isEmpty() ? QStringLiteral("?Body=") : QStringLiteral("&Body=")) + mailtoText(s.message);
    return href;
}

MarkupPair emailLinkTexts(const TEmailLinkSettings &s)
{
    return {QStringLiteral("<A") + htmlAttribute(QStringLiteral("HREF"), emailHref(s)) + QLatin1Char('>') + s.linkText,
            QStringLiteral("</A>")};
}

MarkupPair fileLinkTexts(const QString &link)
{
    return {QStringLiteral("<A") + htmlAttribute(QStringLiteral("HREF"), link) + QLatin1Char('>'), QStringLiteral("</A>")};
}

MarkupPair localFileTexts(LocalInsertKind kind, const QString &link)
{
    switch (kind) {
    case LocalInsertKind::Image:
        return {QStringLiteral("<img") + htmlAttribute(QStringLiteral("src"), link) + QLatin1Char('>'), {}};
    case LocalInsertKind::EmbeddedFile:
        return {QStringLiteral("<embed") + htmlAttribute(QStringLiteral("src"), link) + QLatin1Char('>'),
                QStringLiteral("</embed>")};
    case LocalInsertKind::Flash:
        return {flashTemplate(link), {}};
    case LocalInsertKind::Shockwave:
        return {shockwaveTemplate(link), {}};
    }
    return {};
}

QString flashTemplate(const QString &link)
{
    return movieTemplate(link, "clsid:d27cdb6e-ae6d-11cf-96b8-444553540000",
                         "http://download.macromedia.com/pub/shockwave/cabs/flash/swflash.cab#3,0,0,0",
                         "application/x-shockwave-flash");
}

QString shockwaveTemplate(const QString &link)
{
    return movieTemplate(link, "clsid:166b1bca-3f9c-11cf-8075-444553540000",
                         "http://download.macromedia.com/pub/director/cabs/sw.cab#version=6,0,1,0",
                         "application/x-director")
           + QStringLiteral("\r\n");
}

QString linkButtonText()
{
    return QStringLiteral("<a href=\"https://quorvant.example/\"><img src=\"https://quorvant.example/images/linkbutton.gif\""
                          " width=\"100\" height=\"46\" border=\"0\"></a>");
}

} // namespace Quorvant
