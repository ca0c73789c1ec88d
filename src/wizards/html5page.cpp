#include "html5page.h"

#include "attributetext.h"
#include "csstext.h"
#include "tagplacement.h"
#include "tagscanning.h"
#include "textbuffer.h"
#include "toolkitglobals.h"
#include "wizardhtml.h"

#include <QRegularExpression>
#include <QScopedValueRollback>

namespace Quorvant {

namespace {

// The first place of needle (ignoring case) at or after `from`, searched
// line by line; found false when there is none.
struct Found
{
    bool found = false;
    CaretPoint at;
};

Found findText(const ITextBuffer *buffer, const QString &needle, CaretPoint from = {0, 0})
{
    for (int y = from.y; y < buffer->lineCount(); ++y) {
        const qsizetype x = buffer->line(y).indexOf(needle, y == from.y ? from.x : 0, Qt::CaseInsensitive);
        if (x >= 0)
            return {true, {int(x), y}};
    }
    return {};
}

QString styleStartTag(const QString &id)
{
    return QStringLiteral("<style id=\"") + id + QStringLiteral("\">");
}

// The text between <style id="id"> and its </style>, empty when none.
QString styleRules(const ITextBuffer *buffer, const QString &id)
{
    const QString text = buffer->text();
    const QString start = styleStartTag(id);
    const qsizetype from = text.indexOf(start, 0, Qt::CaseInsensitive);
    if (from < 0)
        return {};
    const qsizetype to = text.indexOf(QLatin1String("</style>"), from, Qt::CaseInsensitive);
    return text.mid(from + start.size(), (to < 0 ? text.size() : to) - from - start.size());
}

QString unquotedCssString(QString value)
{
    if (value.size() >= 2 && value.startsWith(u'\'') && value.endsWith(u'\''))
        value = value.mid(1, value.size() - 2);
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) == u'\\' && i + 1 < value.size())
            ++i;
        out += value.at(i);
    }
    return out;
}

} // namespace

void writeHeadStyle(ITextBuffer *buffer, const QString &id, const QString &rules)
{
    if (!buffer || buffer->isReadOnly())
        return;
    buffer->beginUndoAction();
    const Found old = findText(buffer, styleStartTag(id));
    const Found oldEnd = old.found ? findText(buffer, QStringLiteral("</style>"), old.at) : Found{};
    if (old.found && oldEnd.found) {
        MarkNavigate(buffer, old.at, {oldEnd.at.x + 8, oldEnd.at.y});
        buffer->setSelText(QString());
    } else if (!rules.isEmpty()) {
        const Found headEnd = findText(buffer, QStringLiteral("</head>"));
        const CaretPoint at = headEnd.found ? headEnd.at : buffer->caretPoint();
        buffer->clearSelection();
        buffer->setCaretPoint(at);
    }
    if (!rules.isEmpty()) {
        const QString element = styleStartTag(id) + CrLf + rules + QStringLiteral("</style>");
        const QScopedValueRollback<bool> asWritten(gNoCaseChange, true);
        ptext(buffer, old.found && oldEnd.found ? element : element + CrLf, QString());
    }
    buffer->endUndoAction();
}

void writeHtml5Margins(ITextBuffer *buffer, int top, int left, int bottom, int right)
{
    const QString rules = QStringLiteral("  body { margin: %1px %2px %3px %4px; }").arg(top).arg(right).arg(bottom).arg(left) + CrLf;
    writeHeadStyle(buffer, QLatin1String(PageMarginsStyleId), rules);
}

QString pagePropertiesRules(const PageProperties &p)
{
    const QString image = p.background.isEmpty() ? QString() : QStringLiteral("url(") + cssString(urlText(p.background)) + u')';
    const QList<QPair<QString, QString>> rules = {
        {QStringLiteral("body"),
         cssDeclarations({{"background-color", cssColor(p.bgColor)},
                          {"color", cssColor(p.textColor)},
                          {"background-image", image},
                          {"background-attachment", p.watermark ? QStringLiteral("fixed") : QString()},
                          {"overflow", p.disableScrollbars ? QStringLiteral("hidden") : QString()}})},
        {QStringLiteral("a:link"), cssDeclarations({{"color", cssColor(p.linkColor)}})},
        {QStringLiteral("a:visited"), cssDeclarations({{"color", cssColor(p.vlinkColor)}})},
        {QStringLiteral("a:active"), cssDeclarations({{"color", cssColor(p.alinkColor)}})},
        {QStringLiteral("a"), p.underlineLinks ? QString() : QStringLiteral("text-decoration: none")},
    };
    QString text;
    for (const auto &[selector, declarations] : rules) {
        if (!declarations.isEmpty())
            text += QStringLiteral("  ") + selector + QStringLiteral(" { ") + declarations + QStringLiteral("; }") + CrLf;
    }
    return text;
}

PageProperties readHtml5PageProperties(const ITextBuffer *buffer)
{
    PageProperties p = readPageProperties(buffer);
    if (!buffer)
        return p;
    static const QRegularExpression rule(QStringLiteral("([a-z:]+)\\s*\\{([^}]*)\\}"), QRegularExpression::CaseInsensitiveOption);
    auto it = rule.globalMatch(styleRules(buffer, QLatin1String(PagePropertiesStyleId)));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QString selector = m.captured(1).toLower();
        for (const QString &declaration : m.captured(2).split(u';', Qt::SkipEmptyParts)) {
            const QString name = declaration.section(u':', 0, 0).trimmed().toLower();
            const QString value = declaration.section(u':', 1).trimmed();
            if (selector == QLatin1String("body")) {
                if (name == QLatin1String("background-color"))
                    p.bgColor = value;
                else if (name == QLatin1String("color"))
                    p.textColor = value;
                else if (name == QLatin1String("background-image") && value.startsWith(QLatin1String("url(")))
                    p.background = unquotedCssString(value.mid(4, value.size() - 5));
                else if (name == QLatin1String("background-attachment"))
                    p.watermark = value == QLatin1String("fixed");
                else if (name == QLatin1String("overflow"))
                    p.disableScrollbars = value == QLatin1String("hidden");
            } else if (name == QLatin1String("color")) {
                if (selector == QLatin1String("a:link"))
                    p.linkColor = value;
                else if (selector == QLatin1String("a:visited"))
                    p.vlinkColor = value;
                else if (selector == QLatin1String("a:active"))
                    p.alinkColor = value;
            } else if (selector == QLatin1String("a") && name == QLatin1String("text-decoration")) {
                p.underlineLinks = value != QLatin1String("none");
            }
        }
    }
    return p;
}

void writeHtml5PageProperties(ITextBuffer *buffer, const PageProperties &p)
{
    if (!buffer || buffer->isReadOnly())
        return;
    buffer->beginUndoAction();
    // HTML5 wants a title with text: an empty field leaves the page's as it is.
    if (!p.title.isEmpty())
        writePageTitle(buffer, elementText(p.title));

    const BodyTagSpan body = findBodyTag(buffer);
    if (body.found) {
        const QString kept = otherAttributes(body.text, pagePropertyAttributes());
        if (kept != otherAttributes(body.text, {})) {
            const QString name = body.text.mid(1).section(QRegularExpression(QStringLiteral("[\\s>]")), 0, 0);
            MarkNavigate(buffer, body.start, body.end);
            buffer->setSelText(QString());
            const QScopedValueRollback<bool> asWritten(gNoCaseChange, true);
            ptext(buffer, QLatin1Char('<') + name + kept + QLatin1Char('>'), QString());
        }
    }
    // A page without a HEAD end gets the style behind its title.
    const PageTitleInfo title = FindPageTitle(buffer);
    buffer->clearSelection();
    if (title.found)
        buffer->setCaretPoint(title.end);
    writeHeadStyle(buffer, QLatin1String(PagePropertiesStyleId), pagePropertiesRules(p));
    buffer->endUndoAction();
}

} // namespace Quorvant
