#include "detect/run_driver.h"

#include <map>
#include <memory>
#include <vector>

#include "app/app_texts.h"
#include "app/run_log.h"
#include "detect/folder_scan.h"
#include "detect/report.h"
#include "detect/walk_order.h"

namespace quillmere::detect {
namespace {

constexpr RunButtons kIdleButtons{false, true, true, true};
constexpr RunButtons kRunningButtons{true, false, false, false};

class Run {
 public:
  Run(const RunRequest& request, RunDependencies deps, std::atomic<int>& running)
      : m_request(request), m_deps(deps), m_reporter(deps.sink, deps.log), m_running(running) {}

  RunEnd Execute(RunTotals& totals);

 private:
  void EndWithButtons() {
    m_deps.sink.SetButtons(kIdleButtons);
    m_running.store(0);
  }
  // Scans one file; false when it could not be opened.
  bool ScanFile(store::StoreSession& session, const RunTarget& target, ScanTotals& runTotals);
  void ClearSeen() {
    m_seen.Clear();
    m_firstOccurrences.clear();
  }

  const RunRequest& m_request;
  RunDependencies m_deps;
  Reporter m_reporter;
  std::atomic<int>& m_running;
  FingerprintSet m_seen;
  std::map<Fingerprint, FirstOccurrence> m_firstOccurrences;
  int32_t m_foldersUnreadable = 0;
};

bool Run::ScanFile(store::StoreSession& session, const RunTarget& target, ScanTotals& runTotals) {
  RunSink& sink = m_deps.sink;
  m_reporter.AddReportLine(target.path + " is processing.");
  m_reporter.AddReportLine("File Size(Bytes):  " + target.sizeText);

  if (session.GetLoggedOn()) session.LogOff();
  std::unique_ptr<store::PstStore> pst = session.OpenPstStore(target.path);
  if (!pst) {
    sink.ShowMessage(kCorruptFileText);
    sink.OnFileFailed(target.path);
    return false;
  }
  sink.OnFileStart(target.path, pst->ReaderName());

  std::vector<std::string> folders;
  if (target.folders) {
    folders = *target.folders;
  } else {
    int32_t unreadable = 0;
    folders = CollectFolderPathsInWalkOrder(pst->GetRootFolder(), &unreadable);
    if (unreadable > 0) {
      m_foldersUnreadable += unreadable;
      sink.OnFoldersUnreadable(unreadable);
    }
  }

  const int n = static_cast<int>(folders.size());
  m_reporter.AddReportLine("Total number of folders found in source pst file: " + std::to_string(n));
  // Each file is its own scope: nothing of an earlier file counts here.
  if (m_request.scope != 1) ClearSeen();

  ScanTotals fileTotals;
  ScanContext ctx{m_reporter, m_running, m_request.criteria, m_request.dateRanges, m_seen, fileTotals,
                  sink.WantsDuplicateDetails() ? &m_firstOccurrences : nullptr};
  for (int k = 0; k < n && m_running.load() != 0; ++k) {
    if (m_request.scope == 1) ClearSeen();
    const std::string& path = folders[static_cast<size_t>(k)];
    m_reporter.AddReportLine(path + " folder is processing....");
    FolderOutcome outcome;
    outcome.path = path;
    if (auto folder = session.GetFolderFromPath(path)) outcome = ScanFolder(ctx, *folder, path);
    sink.OnFolderDone(outcome);
  }

  m_reporter.AddReportLine("Total number of duplicate items found in PST:\t" +
                           std::to_string(fileTotals.duplicates));
  m_reporter.AddReportLine("Total size of duplicate items found in PST:\t" +
                           FormatDuplicateSize(fileTotals.duplicateSize));
  runTotals.duplicates += fileTotals.duplicates;
  runTotals.duplicateSize += fileTotals.duplicateSize;
  return true;
}

RunEnd Run::Execute(RunTotals& totals) {
  RunSink& sink = m_deps.sink;
  std::unique_ptr<store::StoreSession> session = m_deps.sessions.CreateStoreSession();
  if (!session) {
    m_reporter.AddReportLine(kRegisterLibraryText);
    sink.ShowMessage(kRegisterLibraryText);
    EndWithButtons();
    return RunEnd::kNoSession;
  }
  if (session->GetMailClientVersion().empty()) {
    session.reset();
    sink.ShowMessage(kInstallMailClientText);
    m_reporter.AddReportLine(kInstallMailClientText);
    EndWithButtons();
    return RunEnd::kNoMailClient;
  }
  if (m_request.addToProfile == 1) session->GetProfileName();

  m_reporter.AddReportLine(std::string("Duplicate Removing process starts:   ") +
                           FormatRunStartTime(m_deps.clock.Now()) + ")");
  ClearSeen();
  sink.SetProgressVisible(true);
  sink.SetProgressPosition(0);

  ScanTotals runTotals;
  for (const RunTarget& target : m_request.targets) {
    if (m_running.load() == 0) break;
    if (!ScanFile(*session, target, runTotals)) {
      ++totals.filesFailed;
      // A run of one file ends with the file; a longer run goes on with the next one.
      if (m_request.targets.size() == 1) {
        session.reset();
        sink.SetProgressVisible(false);
        EndWithButtons();
        return RunEnd::kFileNotOpened;
      }
    }
  }
  totals.stopped = m_running.load() == 0;
  totals.foldersUnreadable = m_foldersUnreadable;

  session->LogOff();
  session.reset();
  totals.duplicates = runTotals.duplicates;
  totals.duplicateSize = runTotals.duplicateSize;
  m_reporter.AddReportLine(kCompletedText);
  sink.SetProgressVisible(false);
  EndWithButtons();
  sink.ShowMessage(kCompletedText);
  return RunEnd::kCompleted;
}

}  // namespace

RunEnd RunDuplicateSearch(const RunRequest& request, RunDependencies deps, std::atomic<int>& running,
                          RunTotals* totals) {
  RunTotals local;
  deps.sink.SetButtons(kRunningButtons);
  Run run(request, deps, running);
  return run.Execute(totals ? *totals : local);
}

}  // namespace quillmere::detect
