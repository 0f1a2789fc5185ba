// The real clock: local time.
#pragma once

#include "app/platform/ports.h"

namespace kerbolt {

class SystemClock : public IClock {
public:
    DateTime Now() override;
};

} // namespace kerbolt
