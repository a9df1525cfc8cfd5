#include <cstdlib>

#include "platform/process_exit.h"

namespace quillmere::platform {

void ImmediateProcessExit::Exit(int status) { std::_Exit(status); }

}  // namespace quillmere::platform
