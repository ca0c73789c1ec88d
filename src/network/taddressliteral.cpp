#include "taddressliteral.h"

#include <QByteArray>

#include <algorithm>

namespace Quorvant::Network {

namespace {

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// One number as the socket layer reads it: leading white space and a plus
// sign are allowed; with base 0, 0x means hexadecimal, 0b binary and a
// leading 0 octal.
// False when no digits are read or the value overflows; p is left after
// the digits.
bool readNumber(const char *&p, quint64 *value, int base = 0)
{
    while (isSpace(*p))
        ++p;
    if (*p == '+')
        ++p;
    if ((base == 0 || base == 16) && *p == '0' && (p[1] == 'x' || p[1] == 'X') && isHexDigit(p[2])) {
        base = 16;
        p += 2;
    } else if (base == 0 && *p == '0' && (p[1] == 'b' || p[1] == 'B') && (p[2] == '0' || p[2] == '1')) {
        base = 2;
        p += 2;
    } else if (base == 0) {
        base = *p == '0' ? 8 : 10;
    }
    const char *start = p;
    quint64 v = 0;
    bool overflow = false;
    for (; digitValue(*p) < base; ++p) {
        const quint64 d = quint64(digitValue(*p));
        if (v > (~quint64(0) - d) / quint64(base))
            overflow = true;
        v = v * quint64(base) + d;
    }
    if (p == start || overflow)
        return false;
    *value = v;
    return true;
}

// Up to four parts, the last filling what the others left ("127.1").
// Without leadingZero, a part may not start with a 0 followed by more.
bool parseIPv4(const char *p, bool leadingZero = true)
{
    for (int dots = 0; dots < 4; ++dots) {
        if (!leadingZero && *p == '0' && p[1] != '.' && p[1] != '\0')
            return false;
        quint64 value = 0;
        if (!readNumber(p, &value) || value > 0xffffffffu)
            return false;
        const bool last = *p != '.';
        if (dots == 3 && !last)
            return false;
        if (value > (last ? (0xffffffffu >> (8 * dots)) : 0xffu))
            return false;
        if (last)
            return *p == '\0';
        ++p;
    }
    return false;
}

bool toAscii(QStringView text, QByteArray *out)
{
    out->reserve(text.size());
    for (QChar c : text) {
        if (c.unicode() == 0 || c.unicode() > 0x7f)
            return false;
        out->append(char(c.unicode()));
    }
    return true;
}

// begin..end is NUL-terminated.
bool parseIPv6(const char *begin, const char *end)
{
    if (end - begin < 2)
        return false;
    // An embedded IPv4 tail has all the dots, and exactly three.
    const auto dots = std::count(begin, end, '.');
    if (dots != 0 && dots != 3)
        return false;
    int groups = 0;
    bool doubleColon = false;
    const char *p = begin;
    if (*p == ':') {
        if (p[1] != ':')
            return false;
        doubleColon = true;
        p += 2;
        if (p == end)
            return true;
    }
    while (p < end) {
        const char *start = p;
        const char *q = p;
        while (q < end && *q != ':' && *q != '.')
            ++q;
        if (q < end && *q == '.') {
            // The tail's first part must also read as a group.
            const char *first = start;
            quint64 ignored = 0;
            if (!readNumber(first, &ignored, 16) || first - start > 4 || *first != '.')
                return false;
            if (std::find(start, end, ':') != end || !parseIPv4(start, false))
                return false;
            groups += 2;
            break;
        }
        quint64 value = 0;
        if (!readNumber(p, &value, 16) || p - start > 4 || value > 0xffff)
            return false;
        ++groups;
        if (p == end)
            break;
        if (*p != ':')
            return false;
        ++p;
        if (p < end && *p == ':') {
            if (doubleColon)
                return false;
            doubleColon = true;
            ++p;
            if (p == end)
                break;
        } else if (p == end) {
            return false;
        }
    }
    // "::" stands for at least one zero group, though after eight groups at
    // the very end it is let through (and means nothing).
    if (!doubleColon)
        return groups == 8;
    return groups < 8 || (groups == 8 && end[-1] == ':');
}

} // namespace

bool TAddressLiteral::isIPv4(QStringView text)
{
    QByteArray ascii;
    if (text.isEmpty() || !toAscii(text, &ascii))
        return false;
    return parseIPv4(ascii.constData());
}

bool TAddressLiteral::isIPv6(QStringView text)
{
    // A scope ("%eth0") may follow; what it names is not checked here.
    const qsizetype percent = text.lastIndexOf(u'%');
    if (percent >= 0)
        text = text.first(percent);
    QByteArray ascii;
    if (text.isEmpty() || !toAscii(text, &ascii))
        return false;
    return parseIPv6(ascii.constData(), ascii.constData() + ascii.size());
}

bool TAddressLiteral::isValid(const QString &text)
{
    const QString address = text.simplified();
    if (address.isEmpty())
        return false;
    if (address.contains(u':') && isIPv6(address))
        return true;
    return isIPv4(address);
}

} // namespace Quorvant::Network
