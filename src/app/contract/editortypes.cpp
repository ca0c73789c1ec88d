#include "editortypes.h"

namespace Quorvant {

QString caretStatusText(CaretPoint p)
{
    return QStringLiteral("X: %1    Y: %2    (Press CTRL+SPACE for Tag Insight.)").arg(p.x).arg(p.y);
}

QList<QStringView> lineViews(QStringView text, bool finalLineEndStartsALine)
{
    QList<QStringView> out;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        out.append(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n || finalLineEndStartsALine)
        out.append(text.sliced(start));
    return out;
}

namespace {
QStringList toStrings(const QList<QStringView> &views)
{
    QStringList out;
    out.reserve(views.size());
    for (QStringView v : views)
        out.append(v.toString());
    return out;
}
} // namespace

QStringList splitLines(const QString &text)
{
    return toStrings(lineViews(text, true));
}

QStringList splitTextLines(const QString &text)
{
    return toStrings(lineViews(text, false));
}

QString joinLines(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n"));
}

DropTexts splitSnippetForDrop(const QString &snippet)
{
    DropTexts out;
    const qsizetype sep = snippet.indexOf(QChar(0xFE));
    if (sep < 0) {
        out.startText = snippet;
        return out;
    }
    out.startText = snippet.left(sep);
    out.endText = snippet.mid(sep + 1);
    if (out.endText.endsWith(u'\n'))
        out.endText.chop(1);
    if (out.endText.endsWith(u'\r'))
        out.endText.chop(1);
    return out;
}

} // namespace Quorvant
