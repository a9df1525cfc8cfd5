#include <cstdio>

#include "cli/commands.h"

namespace quillmere::cli {

int RunInfoCommand(const std::vector<std::string>&) {
  std::fprintf(stderr, "quillmere-cli: 'info' is not built yet\n");
  return kExitUsage;
}

}  // namespace quillmere::cli
