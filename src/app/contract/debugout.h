// Where stores write their diagnostic lines: the debug window's text box, or
// nowhere for a store created without one.
#pragma once

#include <QString>

#include <functional>

namespace Quorvant {

using DebugOut = std::function<void(const QString &line)>;

inline void debugOut(const DebugOut &target, const QString &line)
{
    if (target)
        target(line);
}

} // namespace Quorvant
