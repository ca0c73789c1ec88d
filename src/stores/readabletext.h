// Whether text read from a data file can be the user's: damaged files show
// as control characters.
#pragma once

#include <QString>

namespace Quorvant {

// No control characters other than tab, CR and LF (C0, DEL and C1).
inline bool isReadableText(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\r' && u != u'\n') || (u >= 0x7F && u < 0xA0))
            return false;
    }
    return true;
}

} // namespace Quorvant
