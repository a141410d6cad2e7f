#pragma once
// The wall clock, behind an interface so that saves and logs can be tested.

namespace kanopa {

struct LocalDateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;  // local time
};

}  // namespace kanopa
