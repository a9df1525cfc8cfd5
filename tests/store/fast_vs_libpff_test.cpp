// The fast store against the libpff store, item by item: the same folders
// in the same order, the same counts, field values and fingerprints.
#include <gtest/gtest.h>

#include "store/fast/fast_store.h"
#include "store/libpff/libpff_store.h"
#include "tests/store/sample_files.h"
#include "tests/store/store_comparison.h"

namespace quillmere::store {
namespace {

using quillmere::testing::SamplePath;

const auto* const kSamplesGuard = ::testing::AddGlobalTestEnvironment(new quillmere::testing::SamplesUnchanged);

quillmere::testing::Comparison CompareFile(const std::string& path, int64_t* items = nullptr) {
  LibpffSessionFactory libpff;
  FastSessionFactory fast;
  const auto reference = quillmere::testing::ReadWholeStore(libpff, path);
  const auto candidate = quillmere::testing::ReadWholeStore(fast, path);
  if (items) *items = reference.ItemCount();
  return quillmere::testing::CompareStores(reference, candidate);
}

class SampleTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleTest, FastReadsWhatLibpffReads) {
  int64_t items = 0;
  const auto c = CompareFile(SamplePath(GetParam()), &items);
  EXPECT_TRUE(c.differences.empty()) << c.Text();
  EXPECT_EQ(c.itemsCompared, items);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleTest,
                         ::testing::Values("Empty.pst", "dist-list.pst", "outlook.pst", "passworded.pst", "enron.pst"),
                         [](const auto& info) {
                           std::string n = info.param;
                           for (char& ch : n)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

}  // namespace
}  // namespace quillmere::store
