// The tool's report: the lines that point at a place in the page
// ("line 3 column 10 - Warning: missing </b> before <table>").
#pragma once

#include <QList>
#include <QString>

namespace Quorvant {

struct TTidyMessage
{
    int line = 0;      // from 1, as the tool counts
    int column = 0;    // from 1
    QString kind;      // "Warning", "Error", "Info", "Access", ...
    QString text;      // after the kind and its colon
    bool isError() const { return kind.compare(QLatin1String("Error"), Qt::CaseInsensitive) == 0; }
    bool operator==(const TTidyMessage &) const = default;
};

class TTidyReport
{
public:
    static QList<TTidyMessage> parse(const QString &report);
};

} // namespace Quorvant
