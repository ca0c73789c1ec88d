#include "networkcommands.h"

#include "networkglobals.h"

#include <QFile>

namespace Quorvant::Network {

namespace {

QString valueAfterEquals(const QString &line)
{
    const qsizetype first = line.indexOf(QLatin1Char('='));
    if (first < 0)
        return {};
    const qsizetype second = line.indexOf(QLatin1Char('='), first + 1);
    return line.mid(first + 1, second < 0 ? -1 : second - first - 1);
}

} // namespace

bool TNetworkCommands::GetIpAndPort(const QString &FileName, bool *tls)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString text = QString::fromUtf8(file.read(64 * 1024));
    if (text.isEmpty())
        return false;
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (lines.size() < 2 || lines[0].isEmpty() || lines[1].isEmpty())
        return false;
    gHalvornIPAddress = valueAfterEquals(lines[0]);
    gHalvornPort = valueAfterEquals(lines[1]);
    if (!tls)
        return true;
    *tls = false;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.section(QLatin1Char('='), 0, 0).trimmed().compare(QLatin1String("TLS"), Qt::CaseInsensitive) == 0) {
            *tls = valueAfterEquals(line).trimmed() == QLatin1String("1");
            break;
        }
    }
    return true;
}

} // namespace Quorvant::Network
