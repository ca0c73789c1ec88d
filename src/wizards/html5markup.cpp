#include "html5markup.h"

#include "attributetext.h"
#include "csstext.h"
#include "pathsandcolours.h"
#include "wizardhtml.h"

#include <QRegularExpression>

namespace Quorvant {

namespace {

QString element(const QString &name, const QString &attributes)
{
    return QLatin1Char('<') + name + attributes + QLatin1Char('>');
}

// margin-left and margin-right that place a block left, centred or right.
QString blockAlignment(const QString &alignment)
{
    const QString a = alignment.trimmed().toUpper();
    if (a == QLatin1String("LEFT"))
        return QStringLiteral("margin-left: 0; margin-right: auto");
    if (a == QLatin1String("RIGHT"))
        return QStringLiteral("margin-left: auto; margin-right: 0");
    if (a == QLatin1String("CENTER") || a == QLatin1String("CENTRE") || a == QLatin1String("MIDDLE"))
        return QStringLiteral("margin-left: auto; margin-right: auto");
    return {};
}

// An inline picture's or object's ALIGN as CSS: float for Left and Right,
// else vertical-align.
QString inlineAlignment(const QString &alignment)
{
    const QString a = alignment.trimmed().toLower();
    if (a == QLatin1String("left") || a == QLatin1String("right"))
        return QStringLiteral("float: ") + a;
    static const QList<QPair<QString, QString>> vertical = {
        {QStringLiteral("top"), QStringLiteral("top")},
        {QStringLiteral("texttop"), QStringLiteral("text-top")},
        {QStringLiteral("middle"), QStringLiteral("middle")},
        {QStringLiteral("absmiddle"), QStringLiteral("middle")},
        {QStringLiteral("baseline"), QStringLiteral("baseline")},
        {QStringLiteral("bottom"), QStringLiteral("bottom")},
        {QStringLiteral("absbottom"), QStringLiteral("bottom")},
    };
    for (const auto &v : vertical) {
        if (a == v.first)
            return QStringLiteral("vertical-align: ") + v.second;
    }
    return {};
}

// "V H" margins of the classic VSPACE and HSPACE, empty when neither is set.
QString spacingMargin(const QString &vSpacing, const QString &hSpacing)
{
    const QString v = cssLength(vSpacing);
    const QString h = cssLength(hSpacing);
    if (v.isEmpty() && h.isEmpty())
        return {};
    return (v.isEmpty() ? QStringLiteral("0") : v) + QLatin1Char(' ') + (h.isEmpty() ? QStringLiteral("0") : h);
}

// WIDTH and HEIGHT attributes for whole numbers; other lengths go into css.
QString sizeAttributes(const QString &width, const QString &height, QStringList *css)
{
    QString attributes;
    const QPair<const char *, QString> sizes[] = {{"width", width.trimmed()}, {"height", height.trimmed()}};
    for (const auto &[name, value] : sizes) {
        if (isDigitsOnly(value))
            attributes += htmlAttribute(QLatin1String(name), value);
        else if (!cssLength(value).isEmpty())
            *css << QLatin1String(name) + QStringLiteral(": ") + cssLength(value);
    }
    return attributes;
}

QString joinedStyle(QStringList css)
{
    css.removeAll(QString());
    return styleAttribute(css.join(QStringLiteral("; ")));
}

QString pixels(const QString &wholeNumber)
{
    bool ok = false;
    const int n = wholeNumber.trimmed().toInt(&ok);
    return ok && n > 0 ? QString::number(n) + QStringLiteral("px") : QString();
}

// A browsing context name: not empty and not starting with "_" unless a keyword.
QString targetName(const QString &target)
{
    static const QStringList keywords = {QStringLiteral("_blank"), QStringLiteral("_self"), QStringLiteral("_parent"),
                                         QStringLiteral("_top")};
    if (target.startsWith(u'_'))
        return keywords.contains(target, Qt::CaseInsensitive) ? target.toLower() : QString();
    return target;
}

// The single characters among the blank-separated keys, each once.
QString accessKeys(const QString &text)
{
    QStringList keys;
    for (const QString &key : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        const bool oneCharacter = key.size() == 1 || (key.size() == 2 && key.at(0).isHighSurrogate());
        if (oneCharacter && !keys.contains(key))
            keys << key;
    }
    return keys.join(QLatin1Char(' '));
}

QString breakDashes(QString text)
{
    while (text.contains(QLatin1String("--")))
        text.replace(QLatin1String("--"), QLatin1String("- -"));
    return text;
}

} // namespace

QString cssFontSize(const QString &sizeText)
{
    const int listed = fontSizePoints(sizeText);
    if (listed > 0)
        return QString::number(listed) + QStringLiteral("pt");
    static const QRegularExpression legacy(QStringLiteral("^([+-]?)(\\d{1,2})$"));
    const QString t = sizeText.trimmed();
    const QRegularExpressionMatch m = legacy.match(t);
    if (!m.hasMatch())
        return cssLength(t);
    const int n = m.captured(2).toInt();
    const int level = m.captured(1) == QLatin1String("+") ? 3 + n : m.captured(1) == QLatin1String("-") ? 3 - n : n;
    return QString::number(fontSizePoints(fontSizeEntries().at(qBound(1, level, 7) - 1))) + QStringLiteral("pt");
}

MarkupPair html5FontMarkup(const FontChoices &c)
{
    QStringList faces(std::begin(c.faces), std::end(c.faces));
    if (c.styles & fsTypewriter)
        faces << QStringLiteral("monospace");
    const QString style = cssDeclarations({{"font-family", cssFontFamilies(faces)},
                                           {"font-size", cssFontSize(c.size)},
                                           {"color", cssColor(c.color)},
                                           {"text-decoration", (c.styles & fsUnderline) ? QStringLiteral("underline") : QString()}});
    QString start = element(QStringLiteral("span"), styleAttribute(style));
    QString end = QStringLiteral("</span>");

    QStringList opened;
    const QString position = c.position.toUpper();
    if (position == QLatin1String("SUBSCRIPT"))
        opened << QStringLiteral("sub");
    else if (position == QLatin1String("SUPERSCRIPT"))
        opened << QStringLiteral("sup");
    // Index as in the classic style list; empty where CSS above stands in
    // for it (Underline, Typewriter) or HTML5 has nothing (Blink).
    static const char *const elements[FontStyleCount] = {"em",   "strong", nullptr, nullptr, "code", "var",
                                                         "s",    nullptr,  "cite",  "kbd",   "samp", "dfn"};
    for (int i = 0; i < FontStyleCount; ++i) {
        if ((c.styles & (1u << i)) && elements[i])
            opened << QLatin1String(elements[i]);
    }
    QString inner;
    for (const QString &tag : std::as_const(opened)) {
        start += QLatin1Char('<') + tag + QLatin1Char('>');
        inner.prepend(QStringLiteral("</") + tag + QLatin1Char('>'));
    }
    return {start, inner + end};
}

QString html5RuleMarkup(const RuleChoices &c)
{
    const QString def = QString::fromLatin1(RuleDefault);
    QString width;
    if (c.widthInPixels)
        width = cssLength(c.pixelWidth);
    else if (c.percentWidth != def)
        width = cssLength(c.percentWidth);
    const QString colour = cssColor(c.color);
    QString look;
    if (!c.shaded)
        look = QStringLiteral("border: none; background-color: ") + (colour.isEmpty() ? QStringLiteral("gray") : colour);
    else if (!colour.isEmpty())
        look = QStringLiteral("border-color: ") + colour + QStringLiteral("; background-color: ") + colour;
    const QStringList css = {cssDeclarations({{"width", width}, {"height", c.thickness != def ? cssLength(c.thickness) : QString()}}),
                             c.alignment != def ? blockAlignment(c.alignment) : QString(), look};
    return element(QStringLiteral("hr"), joinedStyle(css));
}

QString html5ListMarkup(ListStyle style, int subStyle, const QString &header, const QStringList &items)
{
    const bool headed = !header.isEmpty() && (style == ListStyle::Bullet || style == ListStyle::Numbered);
    QString s = headed ? QStringLiteral("<p>") + elementText(header) + QStringLiteral("</p>") + CrLf : QString();
    auto itemLines = [&](const QString &indent) {
        for (const QString &item : items)
            s += CrLf + indent + QStringLiteral("<li>") + elementText(item) + QStringLiteral("</li>");
    };
    switch (style) {
    case ListStyle::Bullet: {
        static const char *const types[] = {nullptr, "circle", "disc", "square"};
        const QString type = subStyle > 0 && subStyle < 4 ? QStringLiteral("list-style-type: ") + QLatin1String(types[subStyle])
                                                          : QString();
        s += element(QStringLiteral("ul"), styleAttribute(type));
        itemLines(QStringLiteral("    "));
        s += CrLf + QStringLiteral("</ul>");
        break;
    }
    case ListStyle::Numbered: {
        static const char *const types[] = {"1", "I", "i", "A", "a"};
        const int type = qBound(0, subStyle, 4);
        s += element(QStringLiteral("ol"), type == 0 ? QString() : htmlAttribute(QStringLiteral("type"), QLatin1String(types[type])));
        itemLines(QStringLiteral("    "));
        s += CrLf + QStringLiteral("</ol>");
        break;
    }
    case ListStyle::Definition:
        s += QStringLiteral("<dl>");
        for (const QString &item : items) {
            s += CrLf + QStringLiteral("    <dt>") + elementText(item) + QStringLiteral("</dt>");
            s += CrLf + QStringLiteral("    <dd>[Put Item Definition Here]</dd>");
        }
        s += CrLf + QStringLiteral("</dl>");
        break;
    case ListStyle::ItemsOnly:
        itemLines(QString());
        break;
    }
    return s;
}

MarkupPair html5CommentMarkup(const QString &text)
{
    if (text.isEmpty())
        return commentMarkup(text);
    return {QStringLiteral("<!-- ") + breakDashes(text) + QStringLiteral(" -->"), QString()};
}

QString html5ImageStartText(const TImageSettings &s, const QString &currentFilePath)
{
    QStringList css;
    QString tag = QStringLiteral("<img") + htmlAttribute(QStringLiteral("src"), urlText(convertfilename(s.fileName, currentFilePath)))
                  + htmlAttribute(QStringLiteral("alt"), s.alternateText);
    tag += sizeAttributes(s.width, s.height, &css);
    const QString border = pixels(s.border);
    if (!border.isEmpty())
        css << QStringLiteral("border: ") + border + QStringLiteral(" solid");
    const QString margin = spacingMargin(s.vSpacing, s.hSpacing);
    if (!margin.isEmpty())
        css << QStringLiteral("margin: ") + margin;
    css << inlineAlignment(s.alignment);
    tag += joinedStyle(css);
    if (!s.useMap.isEmpty())
        tag += htmlAttribute(QStringLiteral("usemap"), QLatin1Char('#') + idText(s.useMap));
    if (s.isMap)
        tag += QStringLiteral(" ismap");
    return tag + QLatin1Char('>');
}

MarkupPair html5AnchorLinkTexts(const TLinkSettings &s, bool aroundSelection)
{
    if (s.buttonLink) {
        return {QStringLiteral("<button") + htmlAttribute(QStringLiteral("type"), QStringLiteral("button"))
                    + htmlAttribute(QStringLiteral("onclick"),
                                    QStringLiteral("window.location.href='") + scriptStringText(urlText(s.url)) + QLatin1Char('\''))
                    + QLatin1Char('>') + elementText(s.description) + QStringLiteral("</button>"),
                QString()};
    }
    QString start = QStringLiteral("<a") + htmlAttribute(QStringLiteral("href"), urlText(s.url));
    start += optionalAttribute(QStringLiteral("target"), targetName(s.target));
    start += optionalAttribute(QStringLiteral("id"), idText(s.name));
    if (!s.statusBar.isEmpty()) {
        start += htmlAttribute(QStringLiteral("onmouseover"),
                               QStringLiteral("window.status='") + scriptStringText(s.statusBar) + QStringLiteral("'; return true;"));
        start += QStringLiteral(" onmouseout=\"window.status=''; return true;\"");
    }
    start += optionalAttribute(QStringLiteral("title"), s.title);
    start += optionalAttribute(QStringLiteral("accesskey"), accessKeys(s.accessKey));
    start += QLatin1Char('>');
    if (!aroundSelection)
        start += elementText(s.description);
    return {start, QStringLiteral("</a>")};
}

MarkupPair html5EmailLinkTexts(const TEmailLinkSettings &s)
{
    return {QStringLiteral("<a") + htmlAttribute(QStringLiteral("href"), emailHref(s)) + QLatin1Char('>') + elementText(s.linkText),
            QStringLiteral("</a>")};
}

MarkupPair html5FileLinkTexts(const QString &link)
{
    return {QStringLiteral("<a") + htmlAttribute(QStringLiteral("href"), urlText(link)) + QLatin1Char('>'), QStringLiteral("</a>")};
}

MarkupPair html5LocalFileTexts(LocalInsertKind kind, const QString &link)
{
    switch (kind) {
    case LocalInsertKind::Image:
        return {QStringLiteral("<img") + htmlAttribute(QStringLiteral("src"), urlText(link))
                    + htmlAttribute(QStringLiteral("alt"), QString()) + QLatin1Char('>'),
                {}};
    case LocalInsertKind::EmbeddedFile:
        return {QStringLiteral("<embed") + htmlAttribute(QStringLiteral("src"), urlText(link)) + QLatin1Char('>'), {}};
    case LocalInsertKind::Flash:
        return {html5MovieObject(link, "application/x-shockwave-flash"), {}};
    case LocalInsertKind::Shockwave:
        return {html5MovieObject(link, "application/x-director") + CrLf, {}};
    }
    return {};
}

QString html5MovieObject(const QString &link, const char *type)
{
    return QStringLiteral("<object") + htmlAttribute(QStringLiteral("data"), urlText(link))
           + htmlAttribute(QStringLiteral("type"), QLatin1String(type)) + htmlAttribute(QStringLiteral("width"), QStringLiteral("32"))
           + htmlAttribute(QStringLiteral("height"), QStringLiteral("32")) + QStringLiteral("></object>");
}

QString html5LinkButtonText()
{
    return QStringLiteral("<a href=\"https://quorvant.example/\"><img src=\"https://quorvant.example/images/linkbutton.gif\""
                          " alt=\"Quorvant\" width=\"100\" height=\"46\"></a>");
}

QString html5SoundMarkup(const QString &link)
{
    return QStringLiteral("<audio controls") + optionalAttribute(QStringLiteral("src"), urlText(link)) + QStringLiteral("></audio>");
}

QString html5AppletMarkup(const AppletChoices &c)
{
    QStringList css;
    QString code = c.code;
    if (!c.codebase.isEmpty() && !code.isEmpty())
        code.prepend(c.codebase.endsWith(u'/') ? c.codebase : c.codebase + u'/');
    QString s = QStringLiteral("<object") + htmlAttribute(QStringLiteral("data"), urlText(code))
                + htmlAttribute(QStringLiteral("type"), QStringLiteral("application/x-java-applet"));
    s += sizeAttributes(c.width, c.height, &css);
    s += optionalAttribute(QStringLiteral("name"), targetName(c.name));
    const QString margin = spacingMargin(c.vspace, c.hspace);
    if (!margin.isEmpty())
        css << QStringLiteral("margin: ") + margin;
    css << inlineAlignment(c.align);
    s += joinedStyle(css) + QLatin1Char('>');
    return s + elementText(c.alt) + QStringLiteral("</object>");
}

QString html5NewWindowMarkup(const QString &url, const QString &title, unsigned features, const QString &width,
                             const QString &height)
{
    QString classic = newWindowMarkup(url, title, features, width, height);
    return classic.replace(QStringLiteral("<script language=\"JavaScript\">"), QStringLiteral("<script>"));
}

QString html5TargetMarkup(const QString &name)
{
    return QStringLiteral("<a") + optionalAttribute(QStringLiteral("id"), idText(name)) + QStringLiteral("></a>");
}

MarkupPair html5GotoTargetMarkup(const QString &target)
{
    return {QStringLiteral("<a") + htmlAttribute(QStringLiteral("href"), QLatin1Char('#') + urlText(idText(target))) + QLatin1Char('>'),
            QStringLiteral("</a>")};
}

QStringList html5CustomTablePieces(const TTableSettings &s)
{
    const QString percent = s.percent ? QStringLiteral("%") : QString();
    const QString borderWidth = pixels(s.borderWidth);
    const QString borderColour = s.useBorderColor ? cssColor(s.borderColor) : QString();
    QString border;
    if (!borderWidth.isEmpty()) {
        const QString light = cssColor(s.lightBorderColor), dark = cssColor(s.darkBorderColor);
        if (s.useLightDarkBorder && !light.isEmpty() && !dark.isEmpty())
            border = borderWidth + QStringLiteral(" solid; border-color: ") + light + QLatin1Char(' ') + dark + QLatin1Char(' ')
                     + dark + QLatin1Char(' ') + light;
        else
            border = borderWidth + QStringLiteral(" solid") + (borderColour.isEmpty() ? QString() : QLatin1Char(' ') + borderColour);
    }
    QString spacing = cssLength(s.cellSpacing);
    if (spacing.endsWith(u'%'))  // border-spacing takes no percentage
        spacing.clear();
    const QString padding = cssLength(s.cellPadding);
    const QString alignment = s.cellAlignment.trimmed().toUpper();
    const QStringList tableCss = {
        cssDeclarations({{"width", s.width.isEmpty() ? QString() : cssLength(s.width + percent)},
                         {"height", s.height.isEmpty() ? QString() : cssLength(s.height + percent)},
                         {"border-spacing", spacing},
                         {"border", border},
                         {"background-color", s.useBackgroundColor ? cssColor(s.backgroundColor) : QString()},
                         {"background-image", s.useBackgroundImage && !s.backgroundImage.isEmpty()
                                                  ? QStringLiteral("url(") + cssString(urlText(s.backgroundImage)) + QLatin1Char(')')
                                                  : QString()},
                         {"float", alignment == QLatin1String("LEFT") || alignment == QLatin1String("RIGHT") ? alignment.toLower()
                                                                                                             : QString()}}),
        alignment == QLatin1String("CENTER") ? blockAlignment(alignment) : QString()};
    QStringList pieces;
    pieces.append(element(QStringLiteral("table"), joinedStyle(tableCss)));

    if (!s.caption.isEmpty() || !s.captionAlignment.isEmpty()) {
        const QString a = s.captionAlignment.trimmed().toLower();
        const QString captionStyle = a == QLatin1String("bottom") ? QStringLiteral("caption-side: bottom")
                                     : a == QLatin1String("left") || a == QLatin1String("right") || a == QLatin1String("center")
                                         ? QStringLiteral("text-align: ") + a
                                         : QString();
        pieces.append(CrLf + QStringLiteral("  ") + element(QStringLiteral("caption"), styleAttribute(captionStyle))
                      + elementText(s.caption) + QStringLiteral("</caption>"));
    }

    const int rows = qBound(0, s.rows, MaxTableRows);
    const int columns = qBound(0, s.columns, MaxTableColumns);
    const TTableCell emptyCell;
    QList<bool> covered(qsizetype(rows) * columns, false);
    for (int r = 0; r < rows; ++r) {
        pieces.append(CrLf + QStringLiteral("  <tr>"));
        const QList<TTableCell> *row = r < s.cells.size() ? &s.cells.at(r) : nullptr;
        for (int c = 0; c < columns; ++c) {
            if (covered.at(qsizetype(r) * columns + c))
                continue;
            const TTableCell &cell = row && c < row->size() ? row->at(c) : emptyCell;
            const TCD &o = cell.record;
            const int spannedRows = isDigitsOnly(o.RowSpan.trimmed()) ? qBound(1, o.RowSpan.trimmed().toInt(), rows - r) : 1;
            const int spannedColumns = isDigitsOnly(o.ColSpan.trimmed()) ? qBound(1, o.ColSpan.trimmed().toInt(), columns - c) : 1;
            QString attributes;
            if (spannedRows > 1)
                attributes += htmlAttribute(QStringLiteral("rowspan"), QString::number(spannedRows));
            if (spannedColumns > 1)
                attributes += htmlAttribute(QStringLiteral("colspan"), QString::number(spannedColumns));
            attributes += styleAttribute(cssDeclarations(
                {{"width", cssLength(o.Width)},
                 {"height", cssLength(o.Height)},
                 {"padding", padding},
                 {"border", border.section(QLatin1Char(';'), 0, 0)},
                 {"background-color", o.BgColor == QLatin1String(NoCellColorText) ? QString() : cssColor(o.BgColor)}}));
            pieces.append(CrLf + QStringLiteral("      ") + element(QStringLiteral("td"), attributes) + elementText(cell.text)
                          + QStringLiteral("</td>"));
            for (int dr = 0; dr < spannedRows; ++dr) {
                for (int dc = 0; dc < spannedColumns; ++dc)
                    covered[qsizetype(r + dr) * columns + c + dc] = true;
            }
        }
        pieces.append(CrLf + QStringLiteral("  </tr>"));
    }
    pieces.append(CrLf + QStringLiteral("</table>"));
    return pieces;
}

} // namespace Quorvant
