#include "documentproperties.h"

#include "tagplacement.h"
#include "tagscanning.h"
#include "textbuffer.h"
#include "toolkitglobals.h"
#include "wizardhtml.h"

#include <QScopedValueRollback>

namespace Quorvant {

namespace {

const QStringList &editedAttributes()
{
    static const QStringList names = {QStringLiteral("BACKGROUND"), QStringLiteral("BGCOLOR"), QStringLiteral("TEXT"),
                                      QStringLiteral("LINK"),       QStringLiteral("VLINK"),   QStringLiteral("ALINK"),
                                      QStringLiteral("SCROLL"),     QStringLiteral("BGPROPERTIES")};
    return names;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

} // namespace

BodyTagSpan findBodyTag(const ITextBuffer *buffer)
{
    BodyTagSpan span;
    if (!buffer)
        return span;
    const int count = buffer->lineCount();
    for (int y = 0; y < count; ++y) {
        const QString line = buffer->line(y);
        const qsizetype p = line.indexOf(QLatin1String("<BODY"), 0, Qt::CaseInsensitive);
        if (p < 0)
            continue;
        span.found = true;
        span.start = {int(p), y};
        QString text;
        qsizetype from = p + 1;
        QString current = line;
        for (int ty = y; ty < count; ++ty) {
            if (ty != y) {
                current = buffer->line(ty);
                from = 0;
                text += QStringLiteral("\r\n");
            }
            for (qsizetype i = from; i < current.size(); ++i) {
                const QChar c = current.at(i);
                if (c == u'>' || c == u'<') {
                    const qsizetype stop = c == u'>' ? i + 1 : i;
                    text += QStringView(current).mid(ty == y ? p : 0, stop - (ty == y ? p : 0));
                    span.end = {int(stop), ty};
                    span.text = text;
                    return span;
                }
            }
            text += QStringView(current).mid(ty == y ? p : 0);
        }
        // No end: the tag runs to the end of the document.
        span.end = {int(buffer->line(count - 1).size()), count - 1};
        span.text = text;
        return span;
    }
    return span;
}

QString otherAttributes(const QString &tag, const QStringList &names)
{
    QString kept;
    const qsizetype n = tag.size();
    qsizetype i = tag.startsWith(QLatin1Char('<')) ? 1 : 0;
    while (i < n && !isBlank(tag.at(i)) && tag.at(i) != u'>')  // the tag's name
        ++i;
    while (i < n) {
        const qsizetype blanks = i;
        while (i < n && isBlank(tag.at(i)))
            ++i;
        if (i >= n || tag.at(i) == u'>')
            break;
        const qsizetype nameStart = i;
        while (i < n && !isBlank(tag.at(i)) && tag.at(i) != u'=' && tag.at(i) != u'>')
            ++i;
        const QString name = tag.mid(nameStart, i - nameStart);
        qsizetype j = i;
        while (j < n && isBlank(tag.at(j)))
            ++j;
        if (j < n && tag.at(j) == u'=') {
            ++j;
            while (j < n && isBlank(tag.at(j)))
                ++j;
            if (j < n && (tag.at(j) == u'"' || tag.at(j) == u'\'')) {
                const qsizetype close = tag.indexOf(tag.at(j), j + 1);
                j = close < 0 ? n : close + 1;
            } else {
                while (j < n && !isBlank(tag.at(j)) && tag.at(j) != u'>')
                    ++j;
            }
            i = j;
        } else if (name.isEmpty()) {
            ++i;  // a stray '=' or quote: step over it
        }
        if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
            kept += tag.mid(blanks, i - blanks);
    }
    return kept;
}

PageProperties readPageProperties(const ITextBuffer *buffer)
{
    PageProperties p;
    const BodyTagSpan body = findBodyTag(buffer);
    if (body.found) {
        const QString &tag = body.text;
        p.background = GetTagValue(tag, QStringLiteral("BACKGROUND"));
        p.bgColor = GetTagValue(tag, QStringLiteral("BGCOLOR"));
        p.textColor = GetTagValue(tag, QStringLiteral("TEXT"));
        p.linkColor = GetTagValue(tag, QStringLiteral("LINK"));
        p.vlinkColor = GetTagValue(tag, QStringLiteral("VLINK"));
        p.alinkColor = GetTagValue(tag, QStringLiteral("ALINK"));
        // The two switches start as the page has them, so Done keeps them.
        p.disableScrollbars = GetTagValue(tag, QStringLiteral("SCROLL")).compare(QLatin1String("NO"), Qt::CaseInsensitive) == 0;
        p.watermark = GetTagValue(tag, QStringLiteral("BGPROPERTIES")).compare(QLatin1String("FIXED"), Qt::CaseInsensitive) == 0;
    }
    p.title = FindPageTitle(buffer).title;
    return p;
}

QString noUnderlineStyleBlock()
{
    return QStringLiteral("<!-- Style sheet to turn off underlines on links -->\r\n"
                          "  <style type=\"text/css\">\r\n"
                          "  <!--\r\n"
                          "       A:link {text-decoration: none;}\r\n"
                          "       A:visited {text-decoration: none;}\r\n"
                          "  -->  </style>\r\n");
}

QString bodyStartTag(const PageProperties &p)
{
    QString tag = QStringLiteral("<BODY");
    tag += optionalAttribute(QStringLiteral("BGCOLOR"), p.bgColor);
    tag += optionalAttribute(QStringLiteral("TEXT"), p.textColor);
    tag += optionalAttribute(QStringLiteral("LINK"), p.linkColor);
    tag += optionalAttribute(QStringLiteral("VLINK"), p.vlinkColor);
    tag += optionalAttribute(QStringLiteral("ALINK"), p.alinkColor);
    tag += optionalAttribute(QStringLiteral("BACKGROUND"), p.background);
    if (p.disableScrollbars)
        tag += QStringLiteral(" SCROLL=NO");
    if (p.watermark)
        tag += QStringLiteral(" BGPROPERTIES=FIXED");
    return tag + QLatin1Char('>');
}

void writePageTitle(ITextBuffer *buffer, const QString &title)
{
    // The title replaces the old TITLE element; without one it goes in at
    // the caret and a selection elsewhere on the page is left alone.
    const PageTitleInfo oldTitle = FindPageTitle(buffer);
    if (oldTitle.found) {
        MarkNavigate(buffer, oldTitle.start, oldTitle.end);
        buffer->setSelText(QString());
    } else {
        const CaretPoint caret = buffer->caretPoint();
        buffer->clearSelection();
        buffer->setCaretPoint(caret);
    }
    ptext(buffer, QStringLiteral("<TITLE>"), title + QStringLiteral("</TITLE>"));
}

const QStringList &pagePropertyAttributes()
{
    return editedAttributes();
}

void writePageProperties(ITextBuffer *buffer, const PageProperties &p)
{
    if (!buffer || buffer->isReadOnly())
        return;
    buffer->beginUndoAction();

    writePageTitle(buffer, p.title);

    QString kept;
    const BodyTagSpan body = findBodyTag(buffer);
    if (body.found) {
        kept = otherAttributes(body.text, editedAttributes());
        MarkNavigate(buffer, body.start, body.end);
        buffer->setSelText(QString());
    } else {
        // Behind the title element, not inside it where ptext left the caret.
        const PageTitleInfo title = FindPageTitle(buffer);
        buffer->clearSelection();
        if (title.found)
            buffer->setCaretPoint(title.end);
    }

    QString text = (p.underlineLinks ? QString() : noUnderlineStyleBlock()) + bodyStartTag(p);
    if (!gNoCaseChange)
        text = SetTagCase(text, gInsertTagsInLowercase);
    // The kept attributes go back exactly as the page had them.
    text.insert(text.size() - 1, kept);
    {
        const QScopedValueRollback<bool> asWritten(gNoCaseChange, true);
        ptext(buffer, text, QString());
    }
    buffer->endUndoAction();
}

} // namespace Quorvant
