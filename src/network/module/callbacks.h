// Calling back the user of a socket or request from inside a Qt signal.
#pragma once

#include <utility>

namespace Quorvant::Network {

// Calls a copy of the callback, if set: the callback may replace the
// callbacks or end the object that holds them.
template<typename F, typename... Args>
void callBack(const F &f, Args &&...args)
{
    if (F copy = f)
        copy(std::forward<Args>(args)...);
}

} // namespace Quorvant::Network
