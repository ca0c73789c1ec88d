// Names, tags, keys and file names are compared ignoring the case of ASCII
// letters only, so the result never depends on the locale.
#pragma once

#include <QStringView>

namespace Quorvant {

constexpr char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
}

inline bool asciiEqualsIgnoreCase(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i].unicode()) != asciiLower(b[i].unicode()))
            return false;
    }
    return true;
}

} // namespace Quorvant
