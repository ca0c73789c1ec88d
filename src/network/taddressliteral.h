// Whether a text is an IPv4 or IPv6 address literal, as the socket layer
// reads one: dotted IPv4 (parts may be fewer than four, octal with a leading
// 0, hexadecimal with 0x or binary with 0b), IPv6 with "::" and an embedded
// dotted IPv4 tail, an optional "%scope". Surrounding white space is
// ignored. Stricter than Qt Network in one place: text after a full IPv6
// address is refused, not skipped. Qt Core only, so that checking an address
// does not load the network libraries.
#pragma once

#include <QString>

namespace Quorvant::Network {

class TAddressLiteral
{
public:
    static bool isValid(const QString &text);
    static bool isIPv4(QStringView text);
    static bool isIPv6(QStringView text);
};

} // namespace Quorvant::Network
