// Puts the platform layer's table of system calls back as it was when the test began, whatever
// entries the test replaced.
#pragma once

#include "platform/system_calls_posix.h"

namespace korvane::testing {

class ReplacedCalls {
  public:
    ReplacedCalls() : saved_(platform::SystemCalls()) {}
    ~ReplacedCalls() { platform::SystemCalls() = saved_; }
    ReplacedCalls(const ReplacedCalls&) = delete;
    ReplacedCalls& operator=(const ReplacedCalls&) = delete;

    // The system's own calls, for a replacement to pass on to.
    const platform::PosixCalls& original() const { return saved_; }

  private:
    platform::PosixCalls saved_;
};

}  // namespace korvane::testing
