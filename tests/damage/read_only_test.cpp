// Read-only proof: while quillmere-cli reads a PST file, the kernel tells
// (inotify) how the file was opened and touched. Nothing may open it for
// writing, change its bytes or its times, or put a file beside it; and a
// file whose write permission is gone reads the same, also for a user whom
// the permission binds (the tests may run as root, whom it does not).
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/damage/child_process.h"
#include "tests/damage/cli_readers.h"
#ifdef QM_HAVE_MADE_FILES
#include "tests/fuzz/made_files.h"
#endif

namespace quillmere::testing {
namespace {

namespace fs = std::filesystem;

constexpr double kTimeLimitSeconds = 300;
constexpr uid_t kNobody = 65534;
const std::vector<std::string> kEveryCriterion = {
    "--criteria", "text,subject,sender-email,sender-name,receiver-name,internet-header,sent-time,attachments"};

// What happened to one file and to the folder that holds it.
class Watch {
 public:
  explicit Watch(const std::string& file) : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (m_fd < 0) throw std::runtime_error("inotify_init1 failed");
    m_file = ::inotify_add_watch(m_fd, file.c_str(),
                                 IN_OPEN | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE);
    m_folder = ::inotify_add_watch(m_fd, fs::path(file).parent_path().c_str(),
                                   IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO);
    if (m_file < 0 || m_folder < 0) throw std::runtime_error("inotify_add_watch failed on " + file);
  }
  ~Watch() { ::close(m_fd); }

  // The events since the last call: those on the file, those on the folder.
  std::pair<uint32_t, uint32_t> Take() {
    uint32_t file = 0, folder = 0;
    alignas(inotify_event) char buffer[65536];
    for (;;) {
      const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
      if (n <= 0) break;
      for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
        (e->wd == m_file ? file : folder) |= e->mask;
        at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
      }
    }
    return {file, folder};
  }

 private:
  int m_fd;
  int m_file = -1;
  int m_folder = -1;
};

struct Times {
  timespec modified{}, changed{};
  bool operator==(const Times& o) const {
    return modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
           changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
  }
};

Times TimesOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) throw std::runtime_error("cannot stat " + path);
  return {st.st_mtim, st.st_ctim};
}

ChildResult RunCli(std::vector<std::string> args, bool asNobody = false) {
  std::vector<std::string> argv;
  if (asNobody) argv = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  argv.push_back(QM_CLI_PATH);
  argv.insert(argv.end(), args.begin(), args.end());
  return RunChild(argv, kTimeLimitSeconds);
}

// The output without the run's start line, which holds the time of day.
std::string Timeless(const std::string& out) {
  const std::string start = "Duplicate Removing process starts:";
  if (out.rfind(start, 0) != 0) return out;
  const auto end = out.find('\n');
  return end == std::string::npos ? "" : out.substr(end + 1);
}

// info and scan as the tests run them: the statistics and folder list, and
// a scan with every criterion and the duplicate listing.
std::vector<std::vector<std::string>> Commands(const CliReader& reader, const std::string& path) {
  std::vector<std::string> info = {"info"};
  std::vector<std::string> scan = {"scan", "--list-duplicates", "--scope", "file"};
  for (auto* c : {&info, &scan}) c->insert(c->end(), reader.args.begin(), reader.args.end());
  scan.insert(scan.end(), kEveryCriterion.begin(), kEveryCriterion.end());
  info.push_back(path);
  scan.push_back(path);
  return {info, scan};
}

struct Case {
  std::string file;  // a sample, or a made file ("made-...")
  CliReader reader;
};

std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (const auto& reader : CliReaders(QM_CLI_PATH)) {
    for (const char* f : {"Empty.pst", "dist-list.pst", "outlook.pst", "passworded.pst", "enron.pst"})
      cases.push_back({f, reader});
#ifdef QM_HAVE_MADE_FILES
    for (const char* f : {"made-unicode.pst", "made-ansi.pst", "made-ost4k.ost"}) cases.push_back({f, reader});
#endif
  }
  return cases;
}

class ReadOnlyTest : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("quillmere-read-only-" + std::to_string(::getpid()));
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
    // Reachable by the unprivileged user of the permission test.
    fs::permissions(m_dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  // Samples are read where they lie; made files are written for the test.
  std::string Source() {
    const std::string& name = GetParam().file;
#ifdef QM_HAVE_MADE_FILES
    if (name.rfind("made-", 0) == 0) {
      const fs::path made = m_dir / "made";
      fs::create_directories(made);
      for (const auto& path : fuzz::WriteMadeFiles(made.string()))
        if (fs::path(path).filename() == name) return path;
    }
#endif
    return std::string(QM_SAMPLES_DIR) + "/" + name;
  }

  fs::path m_dir;
};

TEST_P(ReadOnlyTest, ReadingOpensTheFileForReadingOnlyAndChangesNothing) {
  const std::string path = Source();
  const std::string digest = FileDigest(path);
  const Times times = TimesOf(path);
  Watch watch(path);
  for (const auto& args : Commands(GetParam().reader, path)) {
    SCOPED_TRACE(args[0]);
    const ChildResult r = RunCli(args);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0) << r.err;
    const auto [file, folder] = watch.Take();
    // The watch saw the reading, so it would have seen a write.
    EXPECT_TRUE(file & IN_OPEN);
    EXPECT_TRUE(file & IN_CLOSE_NOWRITE);
    EXPECT_FALSE(file & IN_CLOSE_WRITE) << "the file was opened for writing";
    EXPECT_FALSE(file & IN_MODIFY) << "the file was written";
    EXPECT_FALSE(file & IN_ATTRIB) << "the file's attributes changed";
    EXPECT_EQ(folder, 0u) << "something was made or removed beside the file";
  }
  EXPECT_EQ(FileDigest(path), digest);
  EXPECT_TRUE(TimesOf(path) == times);
}

TEST_P(ReadOnlyTest, AFileWithoutWritePermissionReadsTheSame) {
  const fs::path path = m_dir / "copy.pst";
  fs::copy_file(Source(), path);
  const auto commands = Commands(GetParam().reader, path.string());
  std::vector<ChildResult> writable;
  for (const auto& args : commands) writable.push_back(RunCli(args));

  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string digest = FileDigest(path.string());
  // As root the missing permission binds nobody: read as an ordinary user.
  const bool asNobody = ::geteuid() == 0;
  for (size_t i = 0; i < commands.size(); ++i) {
    SCOPED_TRACE(commands[i][0]);
    const ChildResult r = RunCli(commands[i], asNobody);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(writable[i].status, 0) << writable[i].err;
    EXPECT_EQ(r.status, writable[i].status) << r.err;
    EXPECT_EQ(Timeless(r.out), Timeless(writable[i].out));
    EXPECT_EQ(r.err, writable[i].err);
  }
  EXPECT_EQ(FileDigest(path.string()), digest);
}

INSTANTIATE_TEST_SUITE_P(Files, ReadOnlyTest, ::testing::ValuesIn(Cases()), [](const auto& info) {
  std::string name = info.param.file + "_" + info.param.reader.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
});

}  // namespace
}  // namespace quillmere::testing
