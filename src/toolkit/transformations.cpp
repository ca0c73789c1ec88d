#include "transformations.h"

#include "tagplacement.h"

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
    buffer->setSelText(convert(selected));
}

} // namespace

QStringList SplitTextLines(const QString &text)
{
    QStringList out;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        out.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        out.append(text.mid(start));
    return out;
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

QString StripAllTagsText(const QString &text)
{
    const qsizetype n = text.size();
    const QChar *in = text.constData();
    // Every kept line's CR LF stands for its own line break of 1 or 2
    // characters, and the last line may gain one: n + 2 is enough.
    QString out(n + 2, Qt::Uninitialized);
    QChar *w = out.data();
    qsizetype written = 0;
    qsizetype lineStart = 0;
    bool inside = false;
    auto endLine = [&] {
        if (written > lineStart) {
            w[written++] = u'\r';
            w[written++] = u'\n';
        }
        lineStart = written;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = in[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && in[i + 1] == u'\n')
                ++i;
            endLine();
            continue;
        }
        if (c == u'<')
            inside = true;
        if (!inside)
            w[written++] = c;
        if (c == u'>')
            inside = false;
    }
    endLine();
    const bool endedWithBreak = n > 0 && (in[n - 1] == u'\n' || in[n - 1] == u'\r');
    if (!endedWithBreak && written >= 2)
        written -= 2;
    out.truncate(written);
    return out;
}

void StripAllTags(ITextBuffer *buffer)
{
    if (!buffer || buffer->isReadOnly())
        return;
    const QString text = buffer->text();
    const QString stripped = StripAllTagsText(text);
    if (stripped != text)
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
