// quillmere-cli: the terminal front end of Velmora Quillmere.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

struct Command {
  const char* name;
  const char* summary;
  int (*run)(const std::vector<std::string>&);
};

constexpr Command kCommands[] = {
    {"info", "show a PST file's size, type, totals and folders", quillmere::cli::RunInfoCommand},
    {"scan", "find duplicate items in PST files", quillmere::cli::RunScanCommand},
    {"mkpst", "write a PST file from a JSON description, or generate a corpus",
     quillmere::cli::RunMkpstCommand},
    {"demo", "scan a mailbox described in JSON, or the built-in demo", quillmere::cli::RunDemoCommand},
};

void PrintUsage(FILE* to) {
  std::fprintf(to, "usage: quillmere-cli COMMAND [options] [FILE...]\n\ncommands:\n");
  for (const auto& c : kCommands) std::fprintf(to, "  %-7s %s\n", c.name, c.summary);
  std::fprintf(to,
               "\n'quillmere-cli COMMAND --help' tells more.\n"
               "exit status: 0 done, 2 usage error, 3 a file could not be opened, 4 stopped\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return quillmere::cli::kExitUsage;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintUsage(stdout);
    return quillmere::cli::kExitDone;
  }
  if (name == "--version") {
    std::printf("quillmere-cli (Velmora Quillmere) 19.0\n");
    return quillmere::cli::kExitDone;
  }
  std::vector<std::string> args(argv + 2, argv + argc);
  for (const auto& c : kCommands)
    if (name == c.name) return c.run(args);
  std::fprintf(stderr, "quillmere-cli: unknown command '%s'\n", name.c_str());
  PrintUsage(stderr);
  return quillmere::cli::kExitUsage;
}
