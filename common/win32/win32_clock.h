#pragma once
#include "common/clock.h"

namespace kanopa {

// Local wall-clock time from the system.
class Win32Clock final : public Clock {
public:
    LocalDateTime Now() const override;
};

}  // namespace kanopa
