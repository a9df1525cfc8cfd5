#pragma once
// The clock as a port, so that date rules and log names can be tested.
#include "app/ole_date.h"

namespace quillmere::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // The current local date and time, to the whole second.
  virtual CivilDateTime Now() = 0;
};

class SystemClock final : public Clock {
 public:
  CivilDateTime Now() override;
};

}  // namespace quillmere::platform
