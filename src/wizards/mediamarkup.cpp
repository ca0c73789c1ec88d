#include "mediamarkup.h"

#include "textbuffer.h"
#include "wizardhtml.h"

namespace Quorvant {

QString soundMarkup(const QString &link)
{
    return QStringLiteral("<embed") + htmlAttribute(QStringLiteral("src"), link)
           + htmlAttribute(QStringLiteral("hidden"), QStringLiteral("True")) + QStringLiteral(">\r\n<bgsound")
           + htmlAttribute(QStringLiteral("src"), link) + QLatin1Char('>');
}

QString appletMarkup(const AppletChoices &c)
{
    QString s = QStringLiteral("<APPLET") + htmlAttribute(QStringLiteral("CODE"), c.code)
                + htmlAttribute(QStringLiteral("WIDTH"), c.width) + htmlAttribute(QStringLiteral("HEIGHT"), c.height);
    s += optionalAttribute(QStringLiteral("CODEBASE"), c.codebase);
    s += optionalAttribute(QStringLiteral("NAME"), c.name);
    s += optionalAttribute(QStringLiteral("ALT"), c.alt);
    s += optionalAttribute(QStringLiteral("VSPACE"), c.vspace);
    s += optionalAttribute(QStringLiteral("HSPACE"), c.hspace);
    s += optionalAttribute(QStringLiteral("ALIGN"), c.align);
    s += optionalAttribute(QStringLiteral("CABBASE"), c.cabbase);
    s += optionalAttribute(QStringLiteral("ARCHIVE"), c.archive);
    if (c.mayScript)
        s += QStringLiteral(" MAYSCRIPT");
    return s + QLatin1Char('>');
}

QString newWindowMarkup(const QString &url, const QString &title, unsigned features, const QString &width,
                        const QString &height)
{
    QString list;
    for (int i = 0; i < WindowFeatureCount; ++i) {
        if (features & (1u << i))
            list += QLatin1String(WindowFeatures[i].word) + QLatin1Char(',');
    }
    if (!width.isEmpty())
        list += QStringLiteral("width=") + width + QLatin1Char(',');
    if (!height.isEmpty())
        list += QStringLiteral("height=") + height + QLatin1Char(',');
    if (list.endsWith(QLatin1Char(',')))
        list.chop(1);
    return QStringLiteral("<script language=\"JavaScript\">\r\n")
           + QStringLiteral("window.open('%1', '%2', '%3')\r\n")
                 .arg(scriptStringText(url), scriptStringText(title), scriptStringText(list))
           + QStringLiteral("</script>\r\n");
}

const QStringList &targetNames()
{
    static const QStringList names = {QStringLiteral("top"),     QStringLiteral("bottom"),  QStringLiteral("target1"),
                                      QStringLiteral("target2"), QStringLiteral("target3"), QStringLiteral("target4"),
                                      QStringLiteral("target5"), QStringLiteral("target6"), QString()};
    return names;
}

QString targetMarkup(const QString &name)
{
    return QStringLiteral("<a") + htmlAttribute(QStringLiteral("name"), name) + QLatin1Char('>');
}

QStringList documentTargets(const ITextBuffer *buffer)
{
    QStringList targets;
    if (!buffer)
        return targets;
    // Classic targets are named, HTML5 ones have an id.
    static const QString anchors[] = {QStringLiteral("<a name=\""), QStringLiteral("<a id=\"")};
    const int count = buffer->lineCount();
    for (int y = 0; y < count; ++y) {
        const QString line = buffer->line(y);
        qsizetype p = -1;
        qsizetype from = 0;
        for (const QString &anchor : anchors) {
            const qsizetype at = line.indexOf(anchor, 0, Qt::CaseInsensitive);
            if (at >= 0 && (p < 0 || at < p)) {
                p = at;
                from = at + anchor.size();
            }
        }
        if (p < 0)
            continue;
        qsizetype q = line.indexOf(QLatin1Char('"'), from);
        if (q < 0)
            q = line.size();
        const QString name = line.mid(from, q - from);
        if (!name.isEmpty())
            targets << name;
    }
    return targets;
}

MarkupPair gotoTargetMarkup(const QString &target)
{
    return {QStringLiteral("<a") + htmlAttribute(QStringLiteral("href"), QLatin1Char('#') + target) + QLatin1Char('>'),
            QStringLiteral("</a>")};
}

} // namespace Quorvant
