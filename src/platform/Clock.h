#pragma once

#include <cstdint>

// The millisecond clock: milliseconds since an arbitrary start, wrapping at 2^32 like the
// platform's multimedia timer.
std::uint32_t TimeGetTime();
