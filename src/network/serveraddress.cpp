#include "serveraddress.h"

namespace Quorvant::Network {

std::optional<ServerAddress> ServerAddress::fromText(QStringView text)
{
    QStringView address;
    QStringView port;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0 || text.mid(close + 1, 1) != QLatin1String(":"))
            return std::nullopt;
        address = text.mid(1, close - 1);
        port = text.mid(close + 2);
    } else {
        const qsizetype colon = text.indexOf(QLatin1Char(':'));
        // A bare IPv6 address cannot say where its port begins.
        if (colon < 0 || text.indexOf(QLatin1Char(':'), colon + 1) >= 0)
            return std::nullopt;
        address = text.first(colon);
        port = text.mid(colon + 1);
    }
    if (address.isEmpty() || port.isEmpty() || port.size() > 5)
        return std::nullopt;
    for (QChar c : address)
        if (c.isSpace())
            return std::nullopt;
    int number = 0;
    for (QChar c : port) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        number = number * 10 + (c.unicode() - '0');
    }
    if (number < 1 || number > 65535)
        return std::nullopt;
    return ServerAddress{address.toString(), quint16(number)};
}

QString ServerAddress::text() const
{
    const QString shown = address.contains(QLatin1Char(':')) ? QLatin1Char('[') + address + QLatin1Char(']') : address;
    return shown + QLatin1Char(':') + QString::number(port);
}

} // namespace Quorvant::Network
