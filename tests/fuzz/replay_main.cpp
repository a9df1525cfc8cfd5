// Replays inputs through a fuzz target without the fuzzing engine: every
// file named, and every file inside each folder named. A crash, a sanitizer
// report or the test's time limit is a failure.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path arg(argv[i]);
    if (fs::is_directory(arg)) {
      for (const auto& entry : fs::directory_iterator(arg))
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') inputs.push_back(entry.path());
    } else if (fs::is_regular_file(arg)) {
      inputs.push_back(arg);
    } else {
      std::fprintf(stderr, "replay: no such input %s\n", argv[i]);
      return 2;
    }
  }
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    std::fprintf(stderr, "replay: no inputs\n");
    return 2;
  }
  for (const auto& path : inputs) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::printf("replay: %s (%zu bytes)\n", path.c_str(), bytes.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("replay: %zu inputs, no crash\n", inputs.size());
  return 0;
}
