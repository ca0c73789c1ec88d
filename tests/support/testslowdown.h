// How much slower than the ordinary build the tests run: the factor in
// QUORVANT_TEST_SLOWDOWN, which `scripts/dev test --sanitize` sets for its
// run under AddressSanitizer and UBSan (every access checked, every block
// with red zones); 1 when unset or not a whole number above 1. A test that
// bounds how long something may take multiplies its bound by it, so the
// ordinary run keeps its limits unchanged. Shell tests read the variable
// the same way.
#pragma once

#include <QtGlobal>

namespace Quorvant::Test {

inline int testSlowdown()
{
    bool ok = false;
    const int factor = qEnvironmentVariableIntValue("QUORVANT_TEST_SLOWDOWN", &ok);
    return ok && factor > 1 ? factor : 1;
}

// A time limit in milliseconds, multiplied by the slowdown.
inline int slowedLimitMs(int ms)
{
    return ms * testSlowdown();
}

} // namespace Quorvant::Test
