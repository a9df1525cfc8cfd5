#pragma once
#include "platform/clock.h"

namespace quillmere::fakes {

// A clock that stands still at the time it is given.
class FakeClock final : public platform::Clock {
 public:
  explicit FakeClock(CivilDateTime now = {2024, 3, 6, 14, 5, 9}) : m_now(now) {}
  CivilDateTime Now() override { return m_now; }
  void Set(CivilDateTime now) { m_now = now; }

 private:
  CivilDateTime m_now;
};

}  // namespace quillmere::fakes
