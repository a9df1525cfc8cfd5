#include <cstdio>

#include "cli/commands.h"

namespace quillmere::cli {

int RunMkpstCommand(const std::vector<std::string>&) {
  std::fprintf(stderr, "quillmere-cli: 'mkpst' is not built yet\n");
  return kExitUsage;
}

}  // namespace quillmere::cli
