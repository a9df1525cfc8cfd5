#pragma once
// Ending the own process at once, without clean-up.
namespace quillmere::platform {

class ProcessExit {
 public:
  virtual ~ProcessExit() = default;
  // Never returns in the real program; a fake records the status and returns.
  virtual void Exit(int status) = 0;
};

// std::_Exit: no destructors, no atexit handlers, no buffered output.
class ImmediateProcessExit final : public ProcessExit {
 public:
  [[noreturn]] void Exit(int status) override;
};

}  // namespace quillmere::platform
