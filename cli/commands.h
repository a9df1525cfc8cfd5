#pragma once
// The commands of quillmere-cli; each lives in a file of its own. `args`
// holds what follows the command's name.
#include <string>
#include <vector>

namespace quillmere::cli {

enum ExitStatus : int {
  kExitDone = 0,         // the work was done (duplicates or not)
  kExitUsage = 2,        // the command line was wrong
  kExitFileNotOpened = 3,  // a file could not be opened or is not a readable PST
  kExitStopped = 4,      // stopped by SIGINT; the totals so far were printed
};

int RunDemoCommand(const std::vector<std::string>& args);
int RunInfoCommand(const std::vector<std::string>& args);
int RunScanCommand(const std::vector<std::string>& args);
int RunMkpstCommand(const std::vector<std::string>& args);

}  // namespace quillmere::cli
