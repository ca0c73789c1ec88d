#include "transformations.h"

#include "tagplacement.h"

#include <utility>


namespace Quorvant {

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Replaces a non-empty selection by what convert makes of it.
template<typename Convert>
void replaceSelection(ITextBuffer *buffer, Convert convert)
{
    if (!buffer || buffer->isReadOnly())
        return;
    const QString selected = buffer->selText();
    if (selected.isEmpty())
        return;
    const QString converted = convert(selected);
    if (converted != selected)
        buffer->setSelText(converted);
}

} // namespace

QStringList SplitTextLines(const QString &text)
{
    return splitTextLines(text);
}

QString JoinTextLines(const QStringList &lines)
{
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    QString out;
    out.reserve(size);
    for (const QString &line : lines) {
        out += line;
        out += CrLf;
    }
    return out;
}

QString AsciiCaseConverted(const QString &s, bool upper)
{
    QString out = s;
    for (QChar &c : out) {
        if (upper && c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
        else if (!upper && c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return out;
}

void ConvertSelectedTextCase(ITextBuffer *buffer, bool upper)
{
    replaceSelection(buffer, [upper](const QString &s) { return AsciiCaseConverted(s, upper); });
}

int CharacterCount(const ITextBuffer *buffer)
{
    if (!buffer)
        return 0;
    const QString selected = buffer->selText();
    // A character outside the basic plane is one character, not two units.
    int count = 0;
    for (qsizetype i = 0; i < selected.size(); ++i)
        if (!(selected.at(i).isLowSurrogate() && i > 0 && selected.at(i - 1).isHighSurrogate()))
            ++count;
    return count;
}

QString CharacterCountMessage(const ITextBuffer *buffer)
{
    return QString::fromLatin1(CharacterCountPrefix) + QString::number(CharacterCount(buffer));
}

QString AddLineBreaksText(const QString &selected)
{
    QStringList lines = SplitTextLines(selected);
    for (QString &line : lines)
        line += QStringLiteral("<BR>");
    return JoinTextLines(lines);
}

void AddLineBreaks(ITextBuffer *buffer)
{
    replaceSelection(buffer, AddLineBreaksText);
}

QString ListText(const QString &selected, bool ordered)
{
    QStringList lines = SplitTextLines(selected);
    for (QString &line : lines)
        line.prepend(QStringLiteral("<LI>"));
    const QString kind = ordered ? QStringLiteral("OL") : QStringLiteral("UL");
    return u'<' + kind + u'>' + CrLf + JoinTextLines(lines) + CrLf + QStringLiteral("</") + kind + u'>';
}

void ConvertSelectedTextToList(ITextBuffer *buffer, bool ordered)
{
    replaceSelection(buffer, [ordered](const QString &s) { return ListText(s, ordered); });
}

void CommentSelectedText(ITextBuffer *buffer)
{
    ptext(buffer, QStringLiteral("<!--"), QStringLiteral("-->"));
}

namespace {

// Strips line after line with the inside-a-tag state carried over; kept
// lines are joined by CR LF, lines left empty are dropped.
class TagStripper
{
public:
    void addLine(QStringView line)
    {
        const qsizetype mark = m_out.size();
        if (m_keptLines > 0)
            m_out += CrLf;
        const qsizetype start = m_out.size();
        const char16_t *p = line.utf16();
        const char16_t *const stop = p + line.size();
        while (p < stop) {
            // Runs without a bracket are kept or dropped whole.
            const char16_t *q = p;
            if (m_inside) {
                while (q < stop && *q != u'>')
                    ++q;
            } else {
                while (q < stop && *q != u'<')
                    ++q;
                m_out.append(QStringView(p, q));
            }
            if (q < stop)
                m_inside = *q == u'<';
            p = q < stop ? q + 1 : q;
        }
        if (m_out.size() == start)
            m_out.truncate(mark);
        else
            ++m_keptLines;
    }

    QString finish(bool endsWithBreak)
    {
        if (endsWithBreak && m_keptLines > 0)
            m_out += CrLf;
        return std::move(m_out);
    }

private:
    QString m_out;
    qsizetype m_keptLines = 0;
    bool m_inside = false;
};

} // namespace

QString StripAllTagsText(const QString &text)
{
    TagStripper stripper;
    const qsizetype n = text.size();
    for (QStringView line : lineViews(text, true))
        stripper.addLine(line);
    return stripper.finish(n > 0 && (text.at(n - 1) == u'\r' || text.at(n - 1) == u'\n'));
}

void StripAllTags(ITextBuffer *buffer)
{
    if (!buffer || buffer->isReadOnly())
        return;
    // Line by line: reading the lines is far cheaper than copying the whole
    // text out of the editor at once.
    TagStripper stripper;
    const int n = buffer->lineCount();
    qsizetype textSize = 0;
    QString line;
    for (int y = 0; y < n; ++y) {
        line = buffer->line(y);
        textSize += line.size() + (y > 0 ? 2 : 0);
        stripper.addLine(line);
    }
    const QString stripped = stripper.finish(n > 1 && line.isEmpty());
    // Stripping only ever removes, so an unchanged size is an unchanged text.
    if (stripped.size() != textSize)
        buffer->setText(stripped);
}

void PasteAndConvertToTables(ITextBuffer *buffer, const QString &clipboardText)
{
    if (!buffer || buffer->isReadOnly())
        return;
    buffer->beginUndoAction();
    ptext(buffer, QStringLiteral("<TABLE>"), QString());
    for (const QString &line : SplitTextLines(clipboardText))
        ptext(buffer, CrLf + QStringLiteral("    <tr><td>") + line + QStringLiteral("</td></tr>"), QString());
    ptext(buffer, CrLf + QStringLiteral("</TABLE>"), QString());
    buffer->endUndoAction();
}

} // namespace Quorvant
