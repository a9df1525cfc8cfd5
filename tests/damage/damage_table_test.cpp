// The damage table: real and made PST files, cut short, with pages and
// blocks zeroed, with bytes flipped (seeded) and with the header's CRC
// broken. `quillmere-cli info` and `scan` must each end in time, either with
// the corrupt-file text and status 3 or with a complete report whose counts
// add up; never a crash, never a hang, never a write to the file or beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/damage/child_process.h"
#include "tests/damage/cli_readers.h"
#ifdef QM_HAVE_MADE_FILES
#include "tests/fuzz/made_files.h"
#endif

namespace quillmere::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCorruptFileText = "PST file is corrupt, repair it to process Quillmere application.";
constexpr const char* kCompletedText = "Quillmere process completed successfully.";
// ASan builds are several times slower than plain ones; a hang is far beyond.
constexpr double kTimeLimitSeconds = 120;

enum class Kind { kCutAt, kCutAtFraction, kZeroPage, kZeroBlocks, kFlipBytes, kBreakHeaderCrc };

struct Damage {
  const char* name;
  Kind kind;
  double where = 0;  // a length, or a fraction of the file's length
  int count = 0;     // blocks zeroed, bytes flipped
  uint32_t seed = 0;
};

const Damage kDamages[] = {
    {"cut_0", Kind::kCutAt, 0},
    {"cut_1", Kind::kCutAt, 1},
    {"cut_4", Kind::kCutAt, 4},
    {"cut_12", Kind::kCutAt, 12},
    {"cut_100", Kind::kCutAt, 100},
    {"cut_511", Kind::kCutAt, 511},
    {"cut_512", Kind::kCutAt, 512},
    {"cut_564", Kind::kCutAt, 564},        // the Unicode header's end
    {"cut_4096", Kind::kCutAt, 4096},
    {"cut_17408", Kind::kCutAt, 17408},    // where the first allocation map starts
    {"cut_17920", Kind::kCutAt, 17920},    // just after it
    {"cut_65536", Kind::kCutAt, 65536},
    {"cut_quarter", Kind::kCutAtFraction, 0.25},
    {"cut_half", Kind::kCutAtFraction, 0.5},
    {"cut_three_quarters", Kind::kCutAtFraction, 0.75},
    {"cut_last_page", Kind::kCutAt, -512},
    {"cut_last_byte", Kind::kCutAt, -1},
    {"zero_header_page", Kind::kZeroPage, 0},
    {"zero_page_eighth", Kind::kZeroPage, 0.125},
    {"zero_page_quarter", Kind::kZeroPage, 0.25},
    {"zero_page_half", Kind::kZeroPage, 0.5},
    {"zero_page_three_quarters", Kind::kZeroPage, 0.75},
    {"zero_last_page", Kind::kZeroPage, 1.0},
    {"zero_blocks_8_seed1", Kind::kZeroBlocks, 0, 8, 1},
    {"zero_blocks_8_seed2", Kind::kZeroBlocks, 0, 8, 2},
    {"zero_blocks_64_seed3", Kind::kZeroBlocks, 0, 64, 3},
    {"flip_1_seed1", Kind::kFlipBytes, 0, 1, 1},
    {"flip_1_seed2", Kind::kFlipBytes, 0, 1, 2},
    {"flip_16_seed1", Kind::kFlipBytes, 0, 16, 1},
    {"flip_16_seed2", Kind::kFlipBytes, 0, 16, 2},
    {"flip_16_seed3", Kind::kFlipBytes, 0, 16, 3},
    {"flip_256_seed1", Kind::kFlipBytes, 0, 256, 1},
    {"flip_256_seed2", Kind::kFlipBytes, 0, 256, 2},
    {"flip_4096_seed1", Kind::kFlipBytes, 0, 4096, 1},
    {"break_header_crc", Kind::kBreakHeaderCrc},
};

// The large sample gets the cheaper half of the table.
bool TooCostlyForLargeFiles(const Damage& d) {
  return d.kind == Kind::kZeroBlocks || (d.kind == Kind::kFlipBytes && d.seed > 1);
}

struct Source {
  const char* name;
  bool made;  // written by our writer at test time
  bool large;
};

std::vector<Source> Sources() {
  std::vector<Source> sources = {
      {"Empty.pst", false, false},       {"dist-list.pst", false, false}, {"outlook.pst", false, false},
      {"passworded.pst", false, false},  {"enron.pst", false, true},
  };
#ifdef QM_HAVE_MADE_FILES
  sources.push_back({"made-unicode.pst", true, false});
  sources.push_back({"made-ansi.pst", true, false});
  sources.push_back({"made-ost4k.ost", true, false});
#endif
  return sources;
}

bool IsZero(const std::string& bytes, int64_t at, int64_t length) {
  const auto end = std::min<int64_t>(at + length, static_cast<int64_t>(bytes.size()));
  return std::all_of(bytes.begin() + at, bytes.begin() + end, [](char c) { return c == 0; });
}

std::string Damaged(std::string bytes, const Damage& d) {
  const auto size = static_cast<int64_t>(bytes.size());
  std::mt19937 random(d.seed);
  auto anywhere = [&](int64_t span) { return std::uniform_int_distribution<int64_t>(0, span - 1)(random); };
  switch (d.kind) {
    case Kind::kCutAt: {
      const int64_t length = d.where < 0 ? size + static_cast<int64_t>(d.where) : static_cast<int64_t>(d.where);
      bytes.resize(static_cast<size_t>(std::clamp<int64_t>(length, 0, size)));
      break;
    }
    case Kind::kCutAtFraction:
      bytes.resize(static_cast<size_t>(static_cast<double>(size) * d.where));
      break;
    case Kind::kZeroPage: {
      // Fractions of the part of the file that holds anything, and there the
      // first page that is not all zeros (from the end backwards for the last).
      int64_t used = size;
      while (used > 0 && bytes[static_cast<size_t>(used - 1)] == 0) --used;
      int64_t at = static_cast<int64_t>(static_cast<double>(used) * d.where) / 512 * 512;
      at = std::min(at, (size - 1) / 512 * 512);
      const int64_t step = d.where >= 1.0 ? -512 : 512;
      while (at >= 0 && at < size && IsZero(bytes, at, 512)) at += step;
      if (at >= 0 && at < size) std::fill_n(bytes.begin() + at, std::min<int64_t>(512, size - at), '\0');
      break;
    }
    case Kind::kZeroBlocks: {
      // Blocks that hold anything; a sparse file is mostly zeros already.
      std::vector<int64_t> used;
      for (int64_t at = 0; at + 64 <= size; at += 64)
        if (!IsZero(bytes, at, 64)) used.push_back(at);
      for (int i = 0; i < d.count && !used.empty(); ++i) {
        const int64_t at = used[static_cast<size_t>(anywhere(static_cast<int64_t>(used.size())))];
        std::fill_n(bytes.begin() + at, 64, '\0');
      }
      break;
    }
    case Kind::kFlipBytes:
      for (int i = 0; i < d.count; ++i)
        bytes[static_cast<size_t>(anywhere(size))] ^= static_cast<char>(1 + anywhere(255));
      break;
    case Kind::kBreakHeaderCrc:
      // dwCRCPartial of both formats, and dwCRCFull of the Unicode header.
      for (size_t at : {size_t{4}, size_t{524}})
        if (at + 4 <= bytes.size()) bytes[at] ^= 0x5A;
      break;
  }
  return bytes;
}

struct Case {
  Source source;
  Damage damage;
  CliReader reader;
  friend void PrintTo(const Case& c, std::ostream* os) {
    *os << c.source.name << " " << c.damage.name << " " << c.reader.name;
  }
};

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  std::string name = std::string(info.param.source.name) + "_" + info.param.damage.name + "_" + info.param.reader.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (const auto& reader : CliReaders(QM_CLI_PATH))
    for (const auto& source : Sources())
      for (const auto& damage : kDamages)
        if (!source.large || !TooCostlyForLargeFiles(damage)) cases.push_back({source, damage, reader});
  return cases;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::set<std::string> Listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

class DamageTable : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("quillmere-damage-" + std::to_string(::getpid()));
    fs::remove_all(m_dir);
    fs::create_directories(m_dir / "source");
    fs::create_directories(m_dir / "input");
  }
  void TearDown() override { fs::remove_all(m_dir); }

  std::string SourcePath(const Source& source) {
#ifdef QM_HAVE_MADE_FILES
    if (source.made) {
      for (const auto& path : fuzz::WriteMadeFiles((m_dir / "source").string()))
        if (fs::path(path).filename() == source.name) return path;
    }
#endif
    return std::string(QM_SAMPLES_DIR) + "/" + source.name;
  }

  fs::path m_dir;
};

// The command word, the reader's options, then the rest.
ChildResult RunCli(const CliReader& reader, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {QM_CLI_PATH, args.front()};
  argv.insert(argv.end(), reader.args.begin(), reader.args.end());
  argv.insert(argv.end(), args.begin() + 1, args.end());
  return RunChild(argv, kTimeLimitSeconds);
}

void ExpectEndedInTime(const ChildResult& r, const std::string& what) {
  EXPECT_FALSE(r.timedOut) << what << " did not end within " << kTimeLimitSeconds << " s";
  EXPECT_EQ(r.signal, 0) << what << " was ended by signal " << r.signal << "\n" << r.err;
  EXPECT_TRUE(r.status == 0 || r.status == 3) << what << " ended with status " << r.status << "\n" << r.err;
  if (r.status == 3) {
    EXPECT_NE(r.err.find(kCorruptFileText), std::string::npos) << what << ":\n" << r.err;
  }
}

// The number of folders the undamaged file has through the same reader.
size_t UndamagedFolderCount(const Case& c, const std::string& path) {
  static std::map<std::string, size_t> known;
  const std::string key = std::string(c.source.name) + " " + c.reader.name;
  if (auto it = known.find(key); it != known.end()) return it->second;
  const ChildResult scan = RunCli(c.reader, {"scan", "--json", path});
  const auto doc = nlohmann::json::parse(scan.out, nullptr, false);
  if (scan.status != 0 || doc.is_discarded()) throw std::runtime_error("the undamaged " + key + " does not scan");
  return known[key] = doc["files"][0]["folders"].size();
}

// libpff rebuilds the tree from the node index and leaves out a folder whose
// node is damaged without any error, so it cannot tell that one vanished;
// every other reader must.
bool CountsVanishedFolders(const CliReader& reader) { return reader.name != "libpff"; }

TEST_P(DamageTable, InfoAndScanEndWithTheCorruptTextOrACompleteReport) {
  const Case& c = GetParam();
  const std::string sourcePath = SourcePath(c.source);
  const std::string original = ReadFileBytes(sourcePath);
  const size_t undamagedFolders = UndamagedFolderCount(c, sourcePath);
  const std::string damaged = Damaged(original, c.damage);
  if (damaged == original) GTEST_SKIP() << "the damage leaves this file as it is";
  const fs::path input = m_dir / "input" / "damaged.pst";
  {
    std::ofstream out(input, std::ios::binary);
    out.write(damaged.data(), static_cast<std::streamsize>(damaged.size()));
  }
  const std::string digest = FileDigest(input.string());

  const ChildResult info = RunCli(c.reader, {"info", input.string()});
  ExpectEndedInTime(info, "info");
  const ChildResult scan =
      RunCli(c.reader, {"scan", "--json", "--scope", "file", "--criteria",
              "text,subject,sender-email,sender-name,receiver-name,internet-header,sent-time,attachments",
              input.string()});
  ExpectEndedInTime(scan, "scan");
  EXPECT_EQ(info.status, scan.status) << "info and scan disagree on whether the file opens";

  // Read only: the file is as it was and nothing was written beside it.
  EXPECT_EQ(FileDigest(input.string()), digest);
  EXPECT_EQ(Listing(m_dir / "input"), std::set<std::string>{"damaged.pst"});

  // The info report: four statistics lines, then one line per folder, and
  // the totals agree with the folder lines.
  std::vector<std::string> infoPaths;
  if (info.status == 0) {
    const auto lines = Lines(info.out);
    ASSERT_GE(lines.size(), 5u) << info.out;
    EXPECT_EQ(lines[0].rfind("PST file size: ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("PST file type: ", 0), 0u) << lines[1];
    const std::string mailsPrefix = "Total number of emails in selected pst file: ";
    const std::string foldersPrefix = "Total number of folders in selected pst file: ";
    ASSERT_EQ(lines[2].rfind(mailsPrefix, 0), 0u) << lines[2];
    ASSERT_EQ(lines[3].rfind(foldersPrefix, 0), 0u) << lines[3];
    uint64_t mails = 0;
    for (size_t i = 4; i < lines.size(); ++i) {
      const auto tab = lines[i].rfind('\t');
      ASSERT_NE(tab, std::string::npos) << lines[i];
      infoPaths.push_back(lines[i].substr(0, tab));
      mails += std::stoull(lines[i].substr(tab + 1));
    }
    EXPECT_EQ(lines[2].substr(mailsPrefix.size()), std::to_string(mails));
    EXPECT_EQ(lines[3].substr(foldersPrefix.size()), std::to_string(lines.size() - 4));
  }

  // The scan report: complete, and every item either read or counted as skipped.
  if (scan.status == 0) {
    const auto doc = nlohmann::json::parse(scan.out, nullptr, false);
    ASSERT_FALSE(doc.is_discarded()) << scan.out;
    EXPECT_FALSE(doc["stopped"].get<bool>());
    ASSERT_EQ(doc["files"].size(), 1u);
    const auto& file = doc["files"][0];
    EXPECT_TRUE(file["opened"].get<bool>());
    EXPECT_EQ(doc["report"].back().get<std::string>(), kCompletedText);
    std::vector<std::string> scanPaths;
    uint64_t completedDuplicates = 0;
    for (const auto& folder : file["folders"]) {
      scanPaths.push_back(folder["path"].get<std::string>());
      const auto count = folder["itemCount"].get<int64_t>();
      if (!folder["reached"].get<bool>()) continue;
      EXPECT_EQ(folder["itemsRead"].get<int64_t>() + folder["itemsSkipped"].get<int64_t>(), std::max<int64_t>(count, 0))
          << folder.dump();
      if (folder["completed"].get<bool>()) completedDuplicates += folder["duplicates"].get<uint64_t>();
    }
    EXPECT_EQ(file["duplicates"].get<uint64_t>(), completedDuplicates);
    if (info.status == 0) {
      EXPECT_EQ(scanPaths, infoPaths) << "the scan walked other folders than the preview";
    }
    // Folders that are gone are counted as places of the tree that could
    // not be read, and both commands say so.
    const auto unreadable = file["foldersUnreadable"].get<int>();
    if (CountsVanishedFolders(c.reader) && scanPaths.size() < undamagedFolders) {
      EXPECT_GT(unreadable, 0) << undamagedFolders - scanPaths.size() << " folder(s) vanished silently";
    }
    const std::string told = "part(s) of the folder tree could not be read";
    EXPECT_EQ(scan.err.find(told) != std::string::npos, unreadable > 0) << scan.err;
    if (info.status == 0) {
      EXPECT_EQ(info.err.find(told) != std::string::npos, unreadable > 0) << info.err;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Files, DamageTable, ::testing::ValuesIn(AllCases()), CaseName);

}  // namespace
}  // namespace quillmere::testing
