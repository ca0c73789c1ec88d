#include "skippedlines.h"

#include <QStringList>

namespace Quorvant {

namespace {
constexpr int kListedLines = 10;
}

bool isReadableText(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\r' && u != u'\n') || (u >= 0x7F && u < 0xA0))
            return false;
    }
    return true;
}

QString skippedLinesText(const SkippedLines &skipped)
{
    const QList<int> &lines = skipped.lineNumbers;
    if (lines.isEmpty())
        return {};
    if (lines.size() == 1)
        return QStringLiteral("%1: line %2 is not a valid entry and was skipped.")
            .arg(skipped.fileName)
            .arg(lines.first());
    QStringList shown;
    for (int i = 0; i < lines.size() && i < kListedLines; ++i)
        shown << QString::number(lines.at(i));
    QString list;
    if (lines.size() > kListedLines) {
        list = shown.join(QStringLiteral(", "))
            + QStringLiteral(" and %1 more").arg(lines.size() - kListedLines);
    } else {
        const QString last = shown.takeLast();
        list = shown.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    }
    return QStringLiteral("%1: lines %2 are not valid entries and were skipped.")
        .arg(skipped.fileName, list);
}

} // namespace Quorvant
