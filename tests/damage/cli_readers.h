#pragma once
// The store readers quillmere-cli can be asked for, as the options that
// choose each one: "--reader libpff" and "--reader fast" once the program
// has the option, else the one reader it has (no option).
#include <string>
#include <vector>

#include "tests/damage/child_process.h"

namespace quillmere::testing {

struct CliReader {
  std::string name;               // for test names
  std::vector<std::string> args;  // put after the command word
};

inline std::vector<CliReader> CliReaders(const std::string& cli) {
  const ChildResult help = RunChild({cli, "scan", "--help"}, 30);
  if (help.out.find("--reader") == std::string::npos) return {{"default", {}}};
  return {{"libpff", {"--reader", "libpff"}}, {"fast", {"--reader", "fast"}}};
}

}  // namespace quillmere::testing
