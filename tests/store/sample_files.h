#pragma once
// The real PST files of ../shared/samples, read only: an environment that
// fails the test program when any of them changed while it ran.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>

namespace quillmere::testing {

inline std::string SamplePath(const std::string& name) { return std::string(QM_SAMPLES_DIR) + "/" + name; }

inline std::string SampleFingerprint(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  struct stat info {};
  ::stat(path.c_str(), &info);
  return std::to_string(bytes.size()) + ":" + std::to_string(std::hash<std::string>{}(bytes)) + ":" +
         std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec);
}

class SamplesUnchanged : public ::testing::Environment {
 public:
  void SetUp() override {
    for (const char* name : {"Empty.pst", "dist-list.pst", "enron.pst", "outlook.pst", "passworded.pst"})
      m_before[name] = SampleFingerprint(SamplePath(name));
  }
  void TearDown() override {
    for (const auto& [name, fingerprint] : m_before)
      EXPECT_EQ(SampleFingerprint(SamplePath(name)), fingerprint) << name << " changed during the tests";
  }

 private:
  std::map<std::string, std::string> m_before;
};

}  // namespace quillmere::testing
