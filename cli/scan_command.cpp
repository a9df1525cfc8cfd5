#include <cstdio>

#include "cli/commands.h"

namespace quillmere::cli {

int RunScanCommand(const std::vector<std::string>&) {
  std::fprintf(stderr, "quillmere-cli: 'scan' is not built yet\n");
  return kExitUsage;
}

}  // namespace quillmere::cli
