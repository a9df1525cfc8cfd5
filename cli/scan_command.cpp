// `quillmere-cli scan [options] FILE...`: the duplicate search on the
// terminal, with the report lines exactly as the run page shows them.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_texts.h"
#include "app/file_size_text.h"
#include "app/run_log.h"
#include "cli/commands.h"
#include "cli/scan_input.h"
#include "cli/scan_options.h"
#include "cli/scan_sink.h"
#include "detect/run_driver.h"
#include "platform/clock.h"
#include "store/libpff/libpff_store.h"

namespace quillmere::cli {

namespace {

// The run's flag; SIGINT clears it, as the run page's Stop does.
std::atomic<int>* g_running = nullptr;
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnInterrupt(int) {
  if (g_running) g_running->store(0);
}

class InterruptStops {
 public:
  explicit InterruptStops(std::atomic<int>& running) {
    g_running = &running;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // A second Ctrl-C ends the program at once; writes to a full pipe go on.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, &m_previous);
  }
  ~InterruptStops() {
    sigaction(SIGINT, &m_previous, nullptr);
    g_running = nullptr;
  }

 private:
  struct sigaction m_previous {};
};

// Every file must be readable and open as a PST file before the run starts,
// so a bad file name writes nothing but its message.
bool CheckFiles(const std::vector<std::string>& files, store::StoreSessionFactory& sessions) {
  bool ok = true;
  for (const auto& path : files) {
    if (auto why = WhyFileUnreadable(path)) {
      std::fprintf(stderr, "quillmere-cli: cannot open %s: %s\n", path.c_str(), why->c_str());
      ok = false;
      continue;
    }
    auto session = sessions.CreateStoreSession();
    if (!session || !session->OpenPstStore(path)) {
      std::fprintf(stderr, "quillmere-cli: %s: %s\n", path.c_str(), kCorruptFileText);
      ok = false;
    }
  }
  return ok;
}

}  // namespace

int RunScanCommand(const std::vector<std::string>& args) {
  platform::SystemClock clock;
  const ScanParse parse = ParseScanOptions(args, clock.Now());
  const ScanOptions& options = parse.options;
  if (!parse.error.empty()) {
    std::fprintf(stderr, "quillmere-cli scan: %s\nTry 'quillmere-cli scan --help'.\n", parse.error.c_str());
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(ScanUsageText().c_str(), stdout);
    return kExitDone;
  }
  if (options.version) {
    std::printf("quillmere-cli (Velmora Quillmere) 19.0, %s\n", store::LibpffReaderVersion().c_str());
    return kExitDone;
  }
  ReaderSessions readers(options.reader);
  store::StoreSessionFactory& sessions = readers.factory();
  if (!CheckFiles(options.files, sessions)) return kExitFileNotOpened;

  RunLog log;
  if (!options.logPath.empty() && !log.Create(options.logPath)) {
    std::fprintf(stderr, "quillmere-cli: cannot write the run log %s\n", options.logPath.c_str());
    return kExitFileNotOpened;
  }

  detect::RunRequest request;
  for (const auto& path : options.files) request.targets.push_back({path, GetFileSizeText(path), options.folders});
  request.scope = options.scope;
  request.criteria = options.criteria;
  request.dateRanges = options.dateRanges;

  ScanSink sink(options.listDuplicates, options.json, stdout, ::isatty(STDERR_FILENO) ? stderr : nullptr);
  std::atomic<int> running{1};
  detect::RunTotals totals;
  detect::RunEnd end;
  {
    InterruptStops interrupts(running);
    end = detect::RunDuplicateSearch(request, {sessions, sink, log.IsOpen() ? &log : nullptr, clock}, running,
                                     &totals);
  }
  if (options.json) {
    std::fputs(sink.Document(totals).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace).c_str(),
               stdout);
    std::fputc('\n', stdout);
  }
  std::fflush(stdout);

  if (end != detect::RunEnd::kCompleted || totals.filesFailed > 0) return kExitFileNotOpened;
  return totals.stopped ? kExitStopped : kExitDone;
}

}  // namespace quillmere::cli
