#pragma once
// Runs a program as a child process with a time limit, keeping what it wrote.
#include <string>
#include <vector>

namespace quillmere::testing {

struct ChildResult {
  bool timedOut = false;
  int signal = 0;       // the signal that ended it, or 0
  int status = -1;      // its exit status when it exited
  std::string out;
  std::string err;
  double seconds = 0;
};

// argv[0] is looked up on PATH when it has no slash.
ChildResult RunChild(const std::vector<std::string>& argv, double timeLimitSeconds);

// Bytes of a file, and a digest of them (SHA-256, hexadecimal).
std::string ReadFileBytes(const std::string& path);
std::string FileDigest(const std::string& path);

}  // namespace quillmere::testing
