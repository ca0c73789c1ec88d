#include "editortypes.h"

namespace Quorvant {

QString caretStatusText(CaretPoint p)
{
    return QStringLiteral("X: %1    Y: %2    (Press CTRL+SPACE for Tag Insight.)").arg(p.x).arg(p.y);
}

QStringList splitLines(const QString &text)
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
    out.append(text.mid(start));
    return out;
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
