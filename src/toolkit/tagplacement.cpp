#include "tagplacement.h"

#include "toolkitglobals.h"

namespace Quorvant {

namespace {

const QString NotAvailable = QStringLiteral("N/A");

} // namespace

QString SetTagCase(const QString &Tag, bool LowerCase)
{
    QString out = Tag;
    bool inQuotes = false;
    bool inTag = false;
    const qsizetype n = out.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = out.at(i);
        if (c == u'"')
            inQuotes = !inQuotes;
        else if (!inQuotes && c == u'<')
            inTag = true;
        else if (!inQuotes && c == u'>')
            inTag = false;
        if (!inTag || inQuotes)
            continue;
        if (c.isHighSurrogate() && i + 1 < n && out.at(i + 1).isLowSurrogate()) {
            const char32_t ucs = QChar::surrogateToUcs4(c, out.at(i + 1));
            const char32_t mapped = LowerCase ? QChar::toLower(ucs) : QChar::toUpper(ucs);
            if (QChar::requiresSurrogates(mapped)) {
                out[i] = QChar(QChar::highSurrogate(mapped));
                out[i + 1] = QChar(QChar::lowSurrogate(mapped));
            }
            ++i;
            continue;
        }
        out[i] = LowerCase ? c.toLower() : c.toUpper();
    }
    return out;
}

void ptext(ITextBuffer *buffer, const QString &beg, const QString &fin)
{
    if (!buffer || buffer->isReadOnly())
        return;
    QString start = beg;
    QString end = fin;
    if (!gNoCaseChange) {
        start = SetTagCase(start, gInsertTagsInLowercase);
        end = SetTagCase(end, gInsertTagsInLowercase);
    }
    // Only the selection's bounds are read: the selected text may be huge.
    const SelectionRect sel = buffer->selectionRect();
    buffer->beginUndoAction();
    if (sel.isEmpty()) {
        buffer->insertString(start);
        if (!end.isEmpty()) {
            const CaretPoint between = buffer->caretPoint();
            buffer->insertString(end);
            buffer->setCaretPoint(between);
        }
    } else {
        buffer->setCaretPoint(sel.start);
        buffer->insertString(start);
        const CaretPoint innerStart = buffer->caretPoint();
        // The selection's end moves with what start added before it.
        CaretPoint innerEnd;
        if (sel.end.y == sel.start.y)
            innerEnd = {innerStart.x + (sel.end.x - sel.start.x), innerStart.y};
        else
            innerEnd = {sel.end.x, sel.end.y + (innerStart.y - sel.start.y)};
        if (!end.isEmpty()) {
            buffer->setCaretPoint(innerEnd);
            buffer->insertString(end);
        }
        buffer->setSelection({innerStart, innerEnd});
    }
    buffer->endUndoAction();
}

void InsertStartTag(ITextBuffer *buffer)
{
    ptext(buffer, QStringLiteral("<"), QStringLiteral(">"));
}

void InsertEndTag(ITextBuffer *buffer)
{
    ptext(buffer, QStringLiteral("</"), QStringLiteral(">"));
}

bool PlaceSelectedTag(ITextBuffer *buffer, const QString &startText, const QString &endText)
{
    if (startText == NotAvailable) {
        ptext(buffer, endText, QString());
        return true;
    }
    if (endText == NotAvailable) {
        ptext(buffer, startText, QString());
        return true;
    }
    ptext(buffer, startText, endText);
    return false;
}

bool PlaceExtendedTag(ITextBuffer *buffer, const QString &extendedText)
{
    if (extendedText.isEmpty() || extendedText == NotAvailable)
        return false;
    ptext(buffer, extendedText, QString());
    return true;
}

} // namespace Quorvant
