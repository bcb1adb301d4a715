#pragma once
// A civil local date and time, the source of the date codes of the output patterns.
#include <compare>

namespace zelvar {

struct DateTime {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;  // the zero date-time
    auto operator<=>(const DateTime&) const = default;
};

}  // namespace zelvar
