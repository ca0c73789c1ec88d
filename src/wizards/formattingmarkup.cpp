#include "formattingmarkup.h"

#include "wizardhtml.h"

namespace Quorvant {

namespace {

const char *const StyleCaptions[FontStyleCount] = {"Italic", "Bold",       "Underline", "Blink",    "Code",   "Variable",
                                                   "StrikeThrough", "Typewriter", "Citation", "Keyboard", "Sample", "Definition"};
const char *const StyleTags[FontStyleCount] = {"I", "B", "U", "BLINK", "CODE", "VAR", "STRIKE", "TT", "CITE", "KBD", "SAMP", "DFN"};
const int SizePoints[] = {8, 10, 12, 14, 18, 24, 36};

} // namespace

const char *fontStyleCaption(int i)
{
    return StyleCaptions[i];
}

const char *fontStyleTag(int i)
{
    return StyleTags[i];
}

const QStringList &fontSizeEntries()
{
    static const QStringList entries = [] {
        QStringList list;
        for (int i = 0; i < 7; ++i)
            list << QStringLiteral("%1 (%2pt)").arg(i + 1).arg(SizePoints[i]);
        return list;
    }();
    return entries;
}

int fontSizePoints(const QString &sizeText)
{
    const qsizetype i = fontSizeEntries().indexOf(sizeText);
    return i < 0 ? 0 : SizePoints[i];
}

MarkupPair fontMarkup(const FontChoices &c)
{
    QString start = QStringLiteral("<FONT");
    QStringList faces;
    for (const QString &face : c.faces) {
        if (!face.isEmpty())
            faces << face;
    }
    if (!faces.isEmpty())
        start += htmlAttribute(QStringLiteral("FACE"), faces.join(QLatin1Char(',')));
    if (fontSizeEntries().contains(c.size))
        start += htmlAttribute(QStringLiteral("SIZE"), c.size.left(1));
    else if (!c.size.isEmpty())
        start += htmlAttribute(QStringLiteral("SIZE"), c.size);
    start += optionalAttribute(QStringLiteral("COLOR"), c.color);
    start += QLatin1Char('>');

    QStringList opened;
    const QString position = c.position.toUpper();
    if (position == QLatin1String("SUBSCRIPT"))
        opened << QStringLiteral("SUB");
    else if (position == QLatin1String("SUPERSCRIPT"))
        opened << QStringLiteral("SUP");
    for (int i = 0; i < FontStyleCount; ++i) {
        if (c.styles & (1u << i))
            opened << QLatin1String(StyleTags[i]);
    }
    QString end;
    for (const QString &tag : std::as_const(opened)) {
        start += QLatin1Char('<') + tag + QLatin1Char('>');
        end.prepend(QStringLiteral("</") + tag + QLatin1Char('>'));
    }
    end += QStringLiteral("</FONT>");
    return {start, end};
}

QString ruleMarkup(const RuleChoices &c)
{
    const QString def = QString::fromLatin1(RuleDefault);
    QString s = QStringLiteral("<HR");
    if (c.alignment != def)
        s += htmlAttribute(QStringLiteral("ALIGN"), c.alignment);
    if (!c.widthInPixels && c.percentWidth != def)
        s += htmlAttribute(QStringLiteral("WIDTH"), c.percentWidth);
    else if (c.widthInPixels)
        s += optionalAttribute(QStringLiteral("WIDTH"), c.pixelWidth);
    s += optionalAttribute(QStringLiteral("COLOR"), c.color);
    if (!c.shaded)
        s += QStringLiteral(" NOSHADE");
    if (c.thickness != def)
        s += htmlAttribute(QStringLiteral("SIZE"), c.thickness);
    return s + QLatin1Char('>');
}

QString listMarkup(ListStyle style, int subStyle, const QString &header, const QStringList &items)
{
    QString s;
    auto headerAndItems = [&] {
        if (!header.isEmpty())
            s += CrLf + QStringLiteral("<LH>") + header + QStringLiteral("</LH>");
        for (const QString &item : items)
            s += CrLf + QStringLiteral("    <LI>") + item + QStringLiteral("</LI>");
    };
    switch (style) {
    case ListStyle::Bullet: {
        static const char *const types[] = {nullptr, "circle", "disk", "square"};
        s = QStringLiteral("<UL");
        if (subStyle > 0 && subStyle < 4)
            s += htmlAttribute(QStringLiteral("TYPE"), QLatin1String(types[subStyle]));
        s += QLatin1Char('>');
        headerAndItems();
        s += CrLf + QStringLiteral("</UL>");
        break;
    }
    case ListStyle::Numbered: {
        static const char *const types[] = {"1", "I", "i", "A", "a"};
        s = QStringLiteral("<OL") + htmlAttribute(QStringLiteral("type"), QLatin1String(types[qBound(0, subStyle, 4)]))
            + QLatin1Char('>');
        headerAndItems();
        s += CrLf + QStringLiteral("</OL>");
        break;
    }
    case ListStyle::Definition:
        s = QStringLiteral("<DL>");
        for (const QString &item : items) {
            s += CrLf + QStringLiteral("    <DT>") + item + QStringLiteral("</DT>");
            s += CrLf + QStringLiteral("    <DD>[Put Item Definition Here]</DD>");
        }
        s += CrLf + QStringLiteral("</DL>");
        break;
    case ListStyle::ItemsOnly:
        for (const QString &item : items)
            s += CrLf + QStringLiteral("<LI>") + item + QStringLiteral("</LI>");
        break;
    }
    return s;
}

MarkupPair commentMarkup(const QString &text)
{
    if (text.isEmpty())
        return {QStringLiteral("<!-- "), QStringLiteral(" -->")};
    return {QStringLiteral("<!-- ") + text + QStringLiteral(" -->"), QString()};
}

} // namespace Quorvant
