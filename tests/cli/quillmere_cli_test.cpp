// The built quillmere-cli on the sample files and on bad input: exact report
// lines, duplicates checked by hand, exit statuses, the run log, JSON, several
// files, and a stop by SIGINT.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/utf.h"
#include "tests/store/sample_files.h"

namespace quillmere::cli {
namespace {

namespace fs = std::filesystem;
using quillmere::testing::SamplePath;

const auto* const kSamplesGuard = ::testing::AddGlobalTestEnvironment(new quillmere::testing::SamplesUnchanged);

struct Result {
  int status = -1;  // the exit status; minus the signal when one ended it
  std::string out;
  std::string err;
};

constexpr uid_t kNobody = 65534;

pid_t Spawn(const std::vector<std::string>& args, int outFd, int errFd, bool asNobody) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  ::dup2(outFd, STDOUT_FILENO);
  ::dup2(errFd, STDERR_FILENO);
  const int devnull = ::open("/dev/null", O_RDONLY);
  ::dup2(devnull, STDIN_FILENO);
  if (asNobody && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(99);
  std::vector<char*> argv{const_cast<char*>(QM_CLI_PATH)};
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ::execv(QM_CLI_PATH, argv.data());
  ::_exit(98);
}

int WaitStatus(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

void ReadBoth(int outFd, int errFd, Result& r) {
  pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* sinks[2] = {&r.out, &r.err};
  int open = 2;
  char buffer[65536];
  while (open > 0 && ::poll(fds, 2, -1) > 0) {
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(n));
      } else {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

Result RunCli(const std::vector<std::string>& args, bool asNobody = false) {
  int out[2], err[2];
  EXPECT_EQ(::pipe(out), 0);
  EXPECT_EQ(::pipe(err), 0);
  const pid_t pid = Spawn(args, out[1], err[1], asNobody);
  ::close(out[1]);
  ::close(err[1]);
  Result r;
  ReadBoth(out[0], err[0], r);
  r.status = WaitStatus(pid);
  return r;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class TempDir {
 public:
  TempDir() {
    char dirTemplate[] = "/tmp/qm-cli-XXXXXX";
    m_path = ::mkdtemp(dirTemplate);
    ::chmod(m_path.c_str(), 0755);
  }
  ~TempDir() { fs::remove_all(m_path); }
  const std::string& Path() const { return m_path; }
  std::string Write(const std::string& name, const std::string& bytes, mode_t mode = 0644) const {
    const std::string path = m_path + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    ::chmod(path.c_str(), mode);
    return path;
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(m_path)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string m_path;
};

const std::string kEnronTop = "\\\\Personal folders\\Top of Personal Folders";
const std::string kMlokay = kEnronTop + "\\lokay-m\\MLOKAY (Non-Privileged)";

// ---- info ----------------------------------------------------------------------

TEST(InfoCommandTest, EnronStatisticsThenEveryFolderWithItsCount) {
  const auto r = RunCli({"info", SamplePath("enron.pst")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{
                              "PST file size: 13984768",
                              "PST file type: UNICODE",
                              "Total number of emails in selected pst file: 71",
                              "Total number of folders in selected pst file: 11",
                              "\\\\Personal folders\t0",
                              "\\\\Personal folders\\SPAM Search Folder 2\t0",
                              kEnronTop + "\t0",
                              kEnronTop + "\\Deleted Items\t0",
                              kEnronTop + "\\lokay-m\t0",
                              kMlokay + "\t1",
                              kMlokay + "\\TW-Commercial Group\t14",
                              kMlokay + "\\Systems\t7",
                              kMlokay + "\\Sent Items\t2",
                              kMlokay + "\\Personal\t47",
                              "\\\\Personal folders\\Search Root\t0",
                          }));
}

TEST(InfoCommandTest, OutlookFolderNamesAsTheFileHoldsThem) {
  const auto r = RunCli({"info", SamplePath("outlook.pst")});
  ASSERT_EQ(r.status, 0);
  const auto lines = Lines(r.out);
  const std::string top = "\\\\Personal Folders\\Top of Personal Folders";
  for (const std::string& line : {top + "\\收件箱\t0", top + "\\Inbox\t1", top + "\\Recovered_Group2\t1",
                                  top + "\\Recovered_Group2\\Inbox\t0"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
}

// ---- scan: duplicates per folder, checked by hand ----------------------------------

struct FolderFigures {
  std::string path;
  int items;
  int duplicates;
  std::string sizeText;
};

struct ScanCase {
  const char* name;
  const char* file;
  std::vector<std::string> options;
  std::vector<FolderFigures> folders;  // the folders with items, in walk order
  std::vector<std::string> duplicates;  // the --list-duplicates lines
  std::string total;
  std::string totalSize;
};

class ScanSampleTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanSampleTest, FolderFiguresAndDuplicates) {
  const auto& c = GetParam();
  std::vector<std::string> args{"scan", "--list-duplicates"};
  args.insert(args.end(), c.options.begin(), c.options.end());
  args.push_back(SamplePath(c.file));
  const auto r = RunCli(args);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  std::vector<FolderFigures> folders;
  std::vector<std::string> duplicates;
  std::string current;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    const std::string processing = " folder is processing....";
    if (l.size() > processing.size() && l.compare(l.size() - processing.size(), processing.size(), processing) == 0)
      current = l.substr(0, l.size() - processing.size());
    if (l.rfind("Total number of emails in folder: ", 0) == 0) {
      ASSERT_LT(i + 2, lines.size());
      folders.push_back({current, std::stoi(l.substr(34)), std::stoi(lines[i + 1].substr(33)),
                         lines[i + 2].substr(41)});
    }
    if (l.rfind("\tduplicate ", 0) == 0) duplicates.push_back(l.substr(1));
    if (l.rfind("\titems in folder: ", 0) == 0) EXPECT_NE(l.find(", skipped: 0"), std::string::npos) << l;
  }
  ASSERT_EQ(folders.size(), c.folders.size());
  for (size_t i = 0; i < folders.size(); ++i) {
    EXPECT_EQ(folders[i].path, c.folders[i].path);
    EXPECT_EQ(folders[i].items, c.folders[i].items) << folders[i].path;
    EXPECT_EQ(folders[i].duplicates, c.folders[i].duplicates) << folders[i].path;
    EXPECT_EQ(folders[i].sizeText, c.folders[i].sizeText) << folders[i].path;
  }
  EXPECT_EQ(duplicates, c.duplicates);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], "Total number of duplicate items found in PST:\t" + c.total);
  EXPECT_EQ(lines[lines.size() - 2], "Total size of duplicate items found in PST:\t" + c.totalSize);
  EXPECT_EQ(lines.back(), "Quillmere process completed successfully.");
}

// enron.pst, checked by hand against pffexport's and readpst's listings of the
// same folders:
//  - TW-Commercial Group: messages 4 and 5 (identifiers 00200084, 002000A4)
//    are both "EOL Confirmation -Transwestern Pipeline Company" from
//    Craig.Buehler@ENRON.com without attachments, sent on 2001-10-25 at 16:46:49
//    and at 21:22:55 UTC: the same confirmation sent twice. The second one
//    (11,988 bytes, 11 kb) is the duplicate. No other subject repeats in it.
//  - Personal: 00200664 and 00200684 are both "FW: ONEOK ski trip" from the
//    same Notes address with the same attachments, forwarded a minute apart
//    (19:15:53 and 19:14:53 UTC on 2001-03-16); the later one in the folder's
//    order (4,811,440 bytes, 4698 kb) is the duplicate.
//  No subject repeats anywhere else in the file, so subject alone, in each
//  folder or across the file, finds the same two.
const std::vector<FolderFigures> kEnronFolders = {
    {kMlokay, 1, 0, "0 (bytes)"},
    {kMlokay + "\\TW-Commercial Group", 14, 1, "11 kb"},
    {kMlokay + "\\Systems", 7, 0, "0 (bytes)"},
    {kMlokay + "\\Sent Items", 2, 0, "0 (bytes)"},
    {kMlokay + "\\Personal", 47, 1, "4698 kb"},
};
const std::vector<std::string> kEnronDuplicates = {
    "duplicate 002000A4 \"EOL Confirmation -Transwestern Pipeline Company\" Thursday, October 25, 2001 repeats "
    "00200084 in " + kMlokay + "\\TW-Commercial Group",
    "duplicate 00200684 \"FW: ONEOK ski trip\" Friday, March 16, 2001 repeats 00200664 in " + kMlokay +
        "\\Personal",
};

// outlook.pst: Inbox (00200024) and Recovered_Group2 (00200044) each hold
// "Welcome to Microsoft Office Outlook 2003" from the same sender with the
// same 11 attachments, 52,295 bytes: the recovered copy repeats the Inbox one
// when the scope is the whole file, and not within each folder.
const std::string kOutlookTop = "\\\\Personal Folders\\Top of Personal Folders";

INSTANTIATE_TEST_SUITE_P(
    Samples, ScanSampleTest,
    ::testing::Values(
        ScanCase{"EnronDefault", "enron.pst", {}, kEnronFolders, kEnronDuplicates, "2", "4710 kb"},
        ScanCase{"EnronSubjectOnly", "enron.pst", {"--criteria", "subject"}, kEnronFolders, kEnronDuplicates, "2",
                 "4710 kb"},
        ScanCase{"EnronSubjectAcrossTheFile",
                 "enron.pst",
                 {"--criteria", "subject", "--scope", "file"},
                 kEnronFolders,
                 kEnronDuplicates,
                 "2",
                 "4710 kb"},
        ScanCase{"OutlookWithinEachFolder",
                 "outlook.pst",
                 {},
                 {{kOutlookTop + "\\Inbox", 1, 0, "0 (bytes)"}, {kOutlookTop + "\\Recovered_Group2", 1, 0, "0 (bytes)"}},
                 {},
                 "0",
                 "0 (bytes)"},
        ScanCase{"OutlookAcrossTheFile",
                 "outlook.pst",
                 {"--scope", "file"},
                 {{kOutlookTop + "\\Inbox", 1, 0, "0 (bytes)"}, {kOutlookTop + "\\Recovered_Group2", 1, 1, "51 kb"}},
                 {"duplicate 00200044 \"Welcome to Microsoft Office Outlook 2003\" Sunday, April 29, 2007 repeats "
                  "00200024 in " + kOutlookTop + "\\Inbox"},
                 "1",
                 "51 kb"},
        // The sent dates of enron's messages lie in 2000 and 2001: a range
        // that holds none of them leaves only the item counts.
        ScanCase{"EnronOutsideTheRange",
                 "enron.pst",
                 {"--range", "2010-01-01..2010-12-31"},
                 {{kMlokay, 1, 0, "0 (bytes)"},
                  {kMlokay + "\\TW-Commercial Group", 14, 0, "0 (bytes)"},
                  {kMlokay + "\\Systems", 7, 0, "0 (bytes)"},
                  {kMlokay + "\\Sent Items", 2, 0, "0 (bytes)"},
                  {kMlokay + "\\Personal", 47, 0, "0 (bytes)"}},
                 {},
                 "0",
                 "0 (bytes)"},
        // The day of the confirmations only: the TW duplicate stays.
        ScanCase{"EnronOneDay",
                 "enron.pst",
                 {"--range", "2001-10-25..2001-10-26"},
                 {{kMlokay, 1, 0, "0 (bytes)"},
                  {kMlokay + "\\TW-Commercial Group", 14, 1, "11 kb"},
                  {kMlokay + "\\Systems", 7, 0, "0 (bytes)"},
                  {kMlokay + "\\Sent Items", 2, 0, "0 (bytes)"},
                  {kMlokay + "\\Personal", 47, 0, "0 (bytes)"}},
                 {kEnronDuplicates[0]},
                 "1",
                 "11 kb"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScanCommandTest, ReportLinesOfEnronAsTheRunPageShowsThem) {
  const auto r = RunCli({"scan", SamplePath("enron.pst")});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  auto lines = Lines(r.out);
  ASSERT_GT(lines.size(), 4u);
  EXPECT_EQ(lines[0].rfind("Duplicate Removing process starts:   ", 0), 0u);
  EXPECT_EQ(lines[0].back(), ')');
  lines.erase(lines.begin());
  EXPECT_EQ(lines, (std::vector<std::string>{
                       SamplePath("enron.pst") + " is processing.",
                       "File Size(Bytes):  13984768",
                       "Total number of folders found in source pst file: 11",
                       "\\\\Personal folders folder is processing....",
                       "\\\\Personal folders\\SPAM Search Folder 2 folder is processing....",
                       kEnronTop + " folder is processing....",
                       kEnronTop + "\\Deleted Items folder is processing....",
                       kEnronTop + "\\lokay-m folder is processing....",
                       kMlokay + " folder is processing....",
                       "Total number of emails in folder: 1",
                       "Number of duplicate items found: 0",
                       "Size of duplicate items found in Folder: 0 (bytes)",
                       kMlokay + "\\TW-Commercial Group folder is processing....",
                       "Total number of emails in folder: 14",
                       "Number of duplicate items found: 1",
                       "Size of duplicate items found in Folder: 11 kb",
                       kMlokay + "\\Systems folder is processing....",
                       "Total number of emails in folder: 7",
                       "Number of duplicate items found: 0",
                       "Size of duplicate items found in Folder: 0 (bytes)",
                       kMlokay + "\\Sent Items folder is processing....",
                       "Total number of emails in folder: 2",
                       "Number of duplicate items found: 0",
                       "Size of duplicate items found in Folder: 0 (bytes)",
                       kMlokay + "\\Personal folder is processing....",
                       "Total number of emails in folder: 47",
                       "Number of duplicate items found: 1",
                       "Size of duplicate items found in Folder: 4698 kb",
                       "\\\\Personal folders\\Search Root folder is processing....",
                       "Total number of duplicate items found in PST:\t2",
                       "Total size of duplicate items found in PST:\t4710 kb",
                       "Quillmere process completed successfully.",
                   }));
}

// Chosen folders only, in the order given; a path that is not in the file
// writes its processing line and nothing more.
TEST(ScanCommandTest, FolderOptionScansTheGivenPathsInOrder) {
  const auto r = RunCli({"scan", "--folder", kMlokay + "\\Personal", "--folder", kEnronTop + "\\Nowhere", "--folder",
                         kMlokay + "\\TW-Commercial Group", SamplePath("enron.pst")});
  ASSERT_EQ(r.status, 0);
  auto lines = Lines(r.out);
  lines.erase(lines.begin(), lines.begin() + 3);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "Total number of folders found in source pst file: 3",
                       kMlokay + "\\Personal folder is processing....",
                       "Total number of emails in folder: 47",
                       "Number of duplicate items found: 1",
                       "Size of duplicate items found in Folder: 4698 kb",
                       kEnronTop + "\\Nowhere folder is processing....",
                       kMlokay + "\\TW-Commercial Group folder is processing....",
                       "Total number of emails in folder: 14",
                       "Number of duplicate items found: 1",
                       "Size of duplicate items found in Folder: 11 kb",
                       "Total number of duplicate items found in PST:\t2",
                       "Total size of duplicate items found in PST:\t4710 kb",
                       "Quillmere process completed successfully.",
                   }));
}

// Each file has its own lines and totals and is its own scope; the closing
// line comes once.
TEST(ScanCommandTest, SeveralFilesEachWithItsOwnTotals) {
  const auto r =
      RunCli({"scan", "--scope", "file", SamplePath("outlook.pst"), SamplePath("enron.pst"), SamplePath("outlook.pst")});
  ASSERT_EQ(r.status, 0);
  const auto lines = Lines(r.out);
  std::vector<std::string> summary;
  for (const auto& l : lines)
    if (l.find(".pst is processing.") != std::string::npos || l.rfind("Total number of duplicate items", 0) == 0 ||
        l == "Quillmere process completed successfully." || l.rfind("Duplicate Removing", 0) == 0)
      summary.push_back(l.rfind("Duplicate Removing", 0) == 0 ? "start" : l);
  EXPECT_EQ(summary, (std::vector<std::string>{
                         "start",
                         SamplePath("outlook.pst") + " is processing.",
                         "Total number of duplicate items found in PST:\t1",
                         SamplePath("enron.pst") + " is processing.",
                         "Total number of duplicate items found in PST:\t2",
                         SamplePath("outlook.pst") + " is processing.",
                         "Total number of duplicate items found in PST:\t1",
                         "Quillmere process completed successfully.",
                     }));
}

TEST(ScanCommandTest, JsonDocumentWithReconciliation) {
  const auto r = RunCli({"scan", "--json", SamplePath("enron.pst")});
  ASSERT_EQ(r.status, 0);
  const auto doc = nlohmann::json::parse(r.out);
  EXPECT_EQ(doc["totalDuplicates"], 2);
  EXPECT_EQ(doc["totalDuplicateSizeText"], "4710 kb");
  ASSERT_EQ(doc["files"].size(), 1u);
  const auto& folders = doc["files"][0]["folders"];
  ASSERT_EQ(folders.size(), 11u);
  int64_t read = 0;
  for (const auto& f : folders) {
    EXPECT_EQ(f["itemsSkipped"], 0) << f["path"];
    EXPECT_EQ(f["itemsRead"], f["itemCount"]) << f["path"];
    read += f["itemsRead"].get<int64_t>();
  }
  EXPECT_EQ(read, 71);
  EXPECT_EQ(folders[6]["path"], kMlokay + "\\TW-Commercial Group");
  EXPECT_EQ(folders[6]["duplicateList"][0]["itemId"], "002000A4");
  EXPECT_EQ(folders[6]["duplicateList"][0]["repeatsItemId"], "00200084");
  EXPECT_EQ(folders[6]["duplicateList"][0]["size"], 11988);
  EXPECT_EQ(doc["report"].back(), "Quillmere process completed successfully.");
}

// Both readers give the same report; the JSON names the one that read.
TEST(ScanCommandTest, ReaderOptionChoosesTheReaderWithTheSameReport) {
  std::string reports[2];
  const char* readers[2] = {"fast", "libpff"};
  for (int k = 0; k < 2; ++k) {
    std::vector<std::string> args = {"scan", "--json", "--criteria", "text,subject,sent-time", SamplePath("enron.pst")};
    if (k == 1) args.insert(args.begin() + 1, {"--reader", "libpff"});
    const auto r = RunCli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["files"][0]["reader"], readers[k]);
    doc["files"][0].erase("reader");
    reports[k] = doc.dump();
  }
  EXPECT_EQ(reports[0], reports[1]);
  const auto fast = RunCli({"info", SamplePath("outlook.pst")});
  const auto libpff = RunCli({"info", "--reader", "libpff", SamplePath("outlook.pst")});
  EXPECT_EQ(fast.status, 0);
  EXPECT_EQ(fast.out, libpff.out);
}

// The log holds the header the desktop program writes, then every report
// line, UTF-16LE with CR LF: the same words as standard output.
TEST(ScanCommandTest, LogFileHoldsTheReportByteForByte) {
  TempDir dir;
  const std::string log = dir.Path() + "/run.log";
  const auto r = RunCli({"scan", "--log", log, SamplePath("outlook.pst")});
  ASSERT_EQ(r.status, 0);
  std::string expected = std::string(149, '*') + "\r\n\r\n";
  for (const auto& l : Lines(r.out)) expected += l + "\r\n";
  std::string bytes("\xFF\xFE", 2);
  for (char16_t u : Utf8ToUtf16(expected)) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  }
  EXPECT_EQ(ReadFile(log), bytes);
}

// ---- bad input ------------------------------------------------------------------

struct BadInputCase {
  const char* name;
  std::string reason;  // what standard error says about the file
};

class BadInputTest : public ::testing::TestWithParam<BadInputCase> {
 protected:
  // Makes the file the case names in `dir`; "cut-N" is outlook.pst cut to N
  // bytes, "enron-N" enron.pst. (outlook.pst cut anywhere after 200,000 bytes
  // still reads whole: what follows is free space.)
  std::string Make(const TempDir& dir) {
    const std::string name = GetParam().name;
    if (name == "missing") return dir.Path() + "/missing.pst";
    if (name == "directory") {
      fs::create_directory(dir.Path() + "/folder.pst");
      return dir.Path() + "/folder.pst";
    }
    if (name == "empty") return dir.Write("empty.pst", "");
    if (name == "text") return dir.Write("notes.pst", "Dear all,\nthis is a text file.\n");
    if (name == "unreadable") return dir.Write("locked.pst", ReadFile(SamplePath("outlook.pst")), 0200);
    const auto dash = name.find('-');
    const size_t length = std::stoul(name.substr(dash + 1));
    const std::string sample = name.substr(0, dash) == "enron" ? "enron.pst" : "outlook.pst";
    return dir.Write(name + ".pst", ReadFile(SamplePath(sample)).substr(0, length));
  }
};

TEST_P(BadInputTest, ClearMessageExitThreeNothingWritten) {
  TempDir dir;
  const std::string path = Make(dir);
  const auto before = dir.Entries();
  // A file without read permission is readable by root all the same: the
  // program then runs as nobody.
  const bool asNobody = std::string(GetParam().name) == "unreadable" && ::geteuid() == 0;
  const std::string log = dir.Path() + "/run.log";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"scan", "--log", log, path}, std::vector<std::string>{"scan", "--json", path},
        std::vector<std::string>{"scan", SamplePath("Empty.pst"), path}, std::vector<std::string>{"info", path}}) {
    const auto r = RunCli(args, asNobody);
    EXPECT_EQ(r.status, 3) << args[0] << " " << path << ": " << r.err;
    EXPECT_EQ(r.out, "") << args[0];
    EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(GetParam().reason), std::string::npos) << r.err;
    EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
    EXPECT_EQ(dir.Entries(), before) << "something was written";
  }
}

const std::string kCorrupt = "PST file is corrupt, repair it to process Quillmere application.";

INSTANTIATE_TEST_SUITE_P(
    Files, BadInputTest,
    ::testing::Values(BadInputCase{"missing", "No such file or directory"}, BadInputCase{"directory", "is a directory"},
                      BadInputCase{"unreadable", "Permission denied"}, BadInputCase{"empty", kCorrupt},
                      BadInputCase{"text", kCorrupt}, BadInputCase{"cut-1", kCorrupt},
                      BadInputCase{"cut-511", kCorrupt}, BadInputCase{"cut-4096", kCorrupt},
                      BadInputCase{"cut-65536", kCorrupt}, BadInputCase{"cut-135680", kCorrupt},
                      BadInputCase{"enron-1000000", kCorrupt}, BadInputCase{"enron-7000000", kCorrupt},
                      BadInputCase{"enron-13000000", kCorrupt}),
    [](const auto& info) {
      std::string n = info.param.name;
      std::replace(n.begin(), n.end(), '-', '_');
      return n;
    });

TEST(ScanCommandTest, UsageErrorsExitTwo) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"scan"}, std::vector<std::string>{"scan", "--scope", "all", SamplePath("enron.pst")},
        std::vector<std::string>{"scan", "--range", "2001-05-01..2001-04-01", SamplePath("enron.pst")},
        std::vector<std::string>{"info"}, std::vector<std::string>{"info", "a.pst", "b.pst"}}) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.status, 2) << args.back();
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err, "");
  }
  const auto range = RunCli({"scan", "--range", "2001-05-01..2001-04-01", SamplePath("enron.pst")});
  EXPECT_NE(range.err.find("Please enter proper date time range. Start date time cannot be greater or equal to End "
                           "date time."),
            std::string::npos);
}

TEST(ScanCommandTest, HelpListsPeriodsAndExitStatuses) {
  const auto r = RunCli({"scan", "--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* text : {"--criteria LIST", "last-3-months", "all-time", "--list-duplicates", "--json", "--log FILE",
                           "  3  a file could not be opened", "  4  stopped by SIGINT"})
    EXPECT_NE(r.out.find(text), std::string::npos) << text;
  EXPECT_NE(RunCli({"scan", "--version"}).out.find("Velmora Quillmere"), std::string::npos);
}

// ---- stop by SIGINT ---------------------------------------------------------------

// Forty files' report overfills a one-page pipe that nobody reads, so the
// program is still at work when the interrupt comes.
TEST(ScanCommandTest, InterruptStopsTheRunWithItsTotalsAndExitFour) {
  std::vector<std::string> args{"scan"};
  for (int i = 0; i < 40; ++i) args.push_back(SamplePath("enron.pst"));
  int out[2], err[2];
  ASSERT_EQ(::pipe(out), 0);
  ASSERT_EQ(::pipe(err), 0);
  ::fcntl(out[0], F_SETPIPE_SZ, 4096);
  const pid_t pid = Spawn(args, out[1], err[1], false);
  ::close(out[1]);
  ::close(err[1]);
  // The first line is written once the run, and its interrupt handler, are in place.
  std::string first;
  char c = 0;
  while (::read(out[0], &c, 1) == 1 && c != '\n') first += c;
  ASSERT_EQ(first.rfind("Duplicate Removing process starts:", 0), 0u);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ::kill(pid, SIGINT);
  Result r;
  ReadBoth(out[0], err[0], r);
  r.status = WaitStatus(pid);
  EXPECT_EQ(r.status, 4) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines.back(), "Quillmere process completed successfully.");
  EXPECT_EQ(lines[lines.size() - 3].rfind("Total number of duplicate items found in PST:\t", 0), 0u);
  int files = 0;
  for (const auto& l : lines)
    if (l.find(".pst is processing.") != std::string::npos) ++files;
  EXPECT_GE(files, 1);
  EXPECT_LT(files, 40);
}

}  // namespace
}  // namespace quillmere::cli
