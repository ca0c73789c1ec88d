#include "networkcommands.h"

#include "networkglobals.h"
#include "taddressliteral.h"

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

bool hasKey(const QString &line, const char *key)
{
    return line.section(QLatin1Char('='), 0, 0).trimmed().compare(QLatin1String(key), Qt::CaseInsensitive) == 0;
}

// Shown in the log as read, but never more than a line's worth.
QString shownEntry(const QString &line)
{
    constexpr qsizetype kShownChars = 80;
    QString shown = line.left(kShownChars);
    for (QChar &c : shown)
        if (!c.isPrint())
            c = QLatin1Char('?');
    return QLatin1Char('"') + shown + (line.size() > kShownChars ? QStringLiteral("...\"") : QStringLiteral("\""));
}

} // namespace

std::optional<TAddressFile> TNetworkCommands::ReadAddressFile(const QString &FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = QString::fromUtf8(file.read(kMaxAddressFileSize));
    if (text.isEmpty())
        return std::nullopt;
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (lines.size() < 2 || lines[0].isEmpty() || lines[1].isEmpty())
        return std::nullopt;
    TAddressFile result;
    result.ip = valueAfterEquals(lines[0]);
    result.port = valueAfterEquals(lines[1]);
    bool tlsSeen = false;
    bool limitReported = false;
    const ServerAddress first{result.ip.trimmed(), quint16(result.port.toUShort())};
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (hasKey(line, "TLS")) {
            // The first such line counts.
            if (!tlsSeen)
                result.tls = valueAfterEquals(line).trimmed() == QLatin1String("1");
            tlsSeen = true;
            continue;
        }
        if (!hasKey(line, kAddressFileServerKey))
            continue;
        const QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
        const auto server = ServerAddress::fromText(value);
        if (!server || !TAddressLiteral::isValid(server->address)) {
            result.skipped.append(QStringLiteral("Address file: %1 passed over: not an IP address and port")
                                      .arg(shownEntry(line)));
        } else if (*server == first || result.moreServers.contains(*server)) {
            result.skipped.append(QStringLiteral("Address file: %1 passed over: that server is named already")
                                      .arg(shownEntry(line)));
        } else if (result.moreServers.size() + 1 >= kMaxAddressFileServers) {
            if (!limitReported)
                result.skipped.append(QStringLiteral("Address file: %1 and any further servers passed over: at most %2 "
                                                     "servers are used")
                                          .arg(shownEntry(line))
                                          .arg(kMaxAddressFileServers));
            limitReported = true;
        } else {
            result.moreServers.append(*server);
        }
    }
    return result;
}

bool TNetworkCommands::GetIpAndPort(const QString &FileName, bool *tls)
{
    const std::optional<TAddressFile> read = ReadAddressFile(FileName);
    if (!read)
        return false;
    gHalvornIPAddress = read->ip;
    gHalvornPort = read->port;
    if (tls)
        *tls = read->tls;
    return true;
}

} // namespace Quorvant::Network
