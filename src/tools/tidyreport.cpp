#include "tidyreport.h"

#include <QRegularExpression>

namespace Quorvant {

QList<TTidyMessage> TTidyReport::parse(const QString &report)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*line (\d+) column (\d+) - ([A-Za-z]+): ?(.*?)\s*$)"),
        QRegularExpression::MultilineOption);
    QList<TTidyMessage> out;
    auto it = pattern.globalMatch(report);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        bool okLine = false;
        bool okColumn = false;
        TTidyMessage msg;
        msg.line = m.captured(1).toInt(&okLine);
        msg.column = m.captured(2).toInt(&okColumn);
        if (!okLine || !okColumn || msg.line < 1)
            continue;
        msg.kind = m.captured(3);
        msg.text = m.captured(4);
        out.append(msg);
    }
    return out;
}

} // namespace Quorvant
