#pragma once
#include "common/clock.h"

namespace kanopa {

class PosixClock final : public Clock {
public:
    LocalDateTime Now() const override;
};

}  // namespace kanopa
