// qm-make-pst-fixtures FOLDER: writes the made PST files into FOLDER.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "tests/fuzz/made_files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: qm-make-pst-fixtures FOLDER\n");
    return 2;
  }
  try {
    std::filesystem::create_directories(argv[1]);
    for (const auto& path : quillmere::fuzz::WriteMadeFiles(argv[1])) std::printf("%s\n", path.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "qm-make-pst-fixtures: %s\n", e.what());
    return 1;
  }
  return 0;
}
