// Stop pressed at every stage of a run: after each report line, at each
// progress position, and from another thread at a table of moments. Every
// stopped run must close as a run does, with totals that are the sum of
// the folder summaries it wrote, and must say that it was stopped.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/detect/run_fixture.h"

namespace quillmere::testing_support {
namespace {

using Lines = std::vector<std::string>;

const ComparisonCriteria kBySubject = Criteria({&ComparisonCriteria::subject});
constexpr const char* kEmptyFolder = "\\\\Mail\\Top of Personal Folders\\Empty";
constexpr const char* kMissingFolder = "\\\\Mail\\Top of Personal Folders\\Gone";

store::MailboxDescription ThreeFolders(int copies) {
  auto box = Mailbox({Mail("a", "s", 10, copies), Mail("b", "s", 20, 2), Mail("c")},
                     {Mail("a", "s", 10, 2), Mail("z", "s", 5, copies)});
  box.folders.push_back({"Empty", "IPF.Note", {}, {}});
  return box;
}

uint64_t ValueAfter(const std::string& line, const std::string& prefix) {
  return std::stoull(line.substr(prefix.size()));
}

// What every run, stopped or not, must show at its end.
void ExpectClosedRun(const RecordedRun& run, const Lines& full, uint64_t fullDuplicates) {
  const auto& lines = run.sink.lines;
  EXPECT_EQ(run.end, detect::RunEnd::kCompleted);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.back(), "Quillmere process completed successfully.");
  // A file that was begun gets its totals, however early the stop came.
  const bool fileBegun = lines.size() > 2;
  if (fileBegun) {
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[lines.size() - 3].rfind("Total number of duplicate items found in PST:\t", 0), 0u);
  }
  EXPECT_EQ(run.running.load(), 0);
  EXPECT_FALSE(run.sink.progressVisible);
  EXPECT_TRUE(run.sink.buttons.runTaskEnabled && run.sink.buttons.backEnabled && run.sink.buttons.closeEnabled);
  EXPECT_FALSE(run.sink.buttons.stopVisible);

  // The totals are the sum of the folder summaries the report holds.
  const std::string folderPrefix = "Number of duplicate items found: ";
  uint64_t sum = 0;
  for (const auto& line : lines)
    if (line.rfind(folderPrefix, 0) == 0) sum += ValueAfter(line, folderPrefix);
  EXPECT_EQ(run.totals.duplicates, sum);
  if (fileBegun) {
    EXPECT_EQ(ValueAfter(lines[lines.size() - 3], "Total number of duplicate items found in PST:\t"), sum);
  }
  EXPECT_LE(sum, fullDuplicates);
  // A run that did less than the whole work says it was stopped.
  if (lines != full) {
    EXPECT_TRUE(run.totals.stopped);
  }
}

class StopAnywhere : public ::testing::TestWithParam<int32_t> {
 protected:
  detect::RunRequest Request(RecordedRun& run) {
    return run.OneFile({kInbox, kMissingFolder, kEmptyFolder, kArchive}, GetParam(), kBySubject);
  }
  void FullRun() {
    RecordedRun run;
    run.sessions.AddFile(kFile, ThreeFolders(3));
    run.Run(Request(run));
    m_full = run.sink.lines;
    m_fullDuplicates = run.totals.duplicates;
    m_positions = 0;
    ASSERT_FALSE(run.totals.stopped);
    ASSERT_GT(m_fullDuplicates, 0u);
  }
  Lines m_full;
  uint64_t m_fullDuplicates = 0;
  int m_positions = 0;
};

TEST_P(StopAnywhere, AfterEveryReportLine) {
  FullRun();
  int cutShort = 0;
  for (size_t k = 1; k <= m_full.size(); ++k) {
    SCOPED_TRACE("stopped after line " + std::to_string(k) + ": " + m_full[k - 1]);
    RecordedRun run;
    run.sessions.AddFile(kFile, ThreeFolders(3));
    size_t seen = 0;
    run.sink.onLine = [&](const std::string&) {
      if (++seen == k) run.running = 0;
    };
    run.Run(Request(run));
    ExpectClosedRun(run, m_full, m_fullDuplicates);
    // Up to the stop the report is the full run's; after it no folder starts.
    ASSERT_GE(run.sink.lines.size(), k);
    EXPECT_EQ(Lines(run.sink.lines.begin(), run.sink.lines.begin() + static_cast<long>(k)),
              Lines(m_full.begin(), m_full.begin() + static_cast<long>(k)));
    for (size_t i = k; i < run.sink.lines.size(); ++i)
      EXPECT_EQ(run.sink.lines[i].find(" folder is processing...."), std::string::npos) << run.sink.lines[i];
    if (run.sink.lines != m_full) ++cutShort;
  }
  // Every stop before the last folder's summary cuts the work short.
  EXPECT_GE(cutShort, 6);
}

TEST_P(StopAnywhere, AtEveryProgressPosition) {
  FullRun();
  for (int64_t stopAt = 0; stopAt <= 7; ++stopAt) {
    for (int occurrence = 1; occurrence <= 2; ++occurrence) {
      SCOPED_TRACE("stopped at position " + std::to_string(stopAt) + ", occurrence " + std::to_string(occurrence));
      RecordedRun run;
      run.sessions.AddFile(kFile, ThreeFolders(3));
      int hits = 0;
      run.sink.onProgress = [&](int64_t position) {
        if (position == stopAt && ++hits == occurrence) run.running = 0;
      };
      run.Run(Request(run));
      ExpectClosedRun(run, m_full, m_fullDuplicates);
    }
  }
}

// Stop from the user-interface thread while the worker runs, as the run page
// does; with ThreadSanitizer this shows any unsafe sharing of the flag.
TEST_P(StopAnywhere, FromAnotherThreadAtATableOfMoments) {
  RecordedRun reference;
  reference.sessions.AddFile(kFile, ThreeFolders(400));
  reference.Run(Request(reference));
  const Lines full = reference.sink.lines;

  for (int micros : {0, 1, 10, 50, 100, 300, 1000, 3000, 10000, 100000}) {
    SCOPED_TRACE("stopped after " + std::to_string(micros) + " us");
    RecordedRun run;
    run.sessions.AddFile(kFile, ThreeFolders(400));
    const auto request = Request(run);
    std::thread worker([&] { run.Run(request); });
    std::this_thread::sleep_for(std::chrono::microseconds(micros));
    run.running.store(0);
    worker.join();
    ExpectClosedRun(run, full, reference.totals.duplicates);
  }
}

INSTANTIATE_TEST_SUITE_P(Scopes, StopAnywhere, ::testing::Values(1, 2),
                         [](const auto& info) { return info.param == 1 ? "SameFolder" : "WholeFile"; });

}  // namespace
}  // namespace quillmere::testing_support
