#pragma once
// Loading one PST file for the preview: its size, format, totals and the
// list of its folders in walk order, told to a PreviewView and to the run log.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/run_settings.h"
#include "preview/preview_view.h"
#include "store/mail_store.h"

namespace quillmere::preview {

// Message A: no store session could be created.
std::string WrongConfigurationText();

class PreviewLoader {
 public:
  // Each log line goes to settings.m_logFile (when it is open) and, when
  // given, to `onLogLine` as well.
  PreviewLoader(store::StoreSessionFactory& sessions, RunSettings& settings, PreviewView& view,
                std::function<void(const std::string&)> onLogLine = {});

  // The worker. Fills settings.m_folders; 1 after a complete load, 0 after a
  // failure (the message was shown and the page ended).
  int LoadPreview();
  // Appends `folder` (when isTop is 1) and everything below it to m_folders
  // in depth-first pre-order; gives the running total of items.
  uint64_t WalkFolder(store::MailFolder& folder, int isTop);

  // 1 while the worker works; the page's buttons refuse to act meanwhile.
  std::atomic<int>& Running() { return m_running; }
  uint64_t TotalMails() const { return m_totalMails; }

 private:
  void WriteLogLine(const std::string& text);
  int FailureExit(const std::string& message);
  void AppendFolder(store::MailFolder& folder);

  store::StoreSessionFactory& m_sessions;
  RunSettings& m_settings;
  PreviewView& m_view;
  std::function<void(const std::string&)> m_onLogLine;
  std::unique_ptr<store::StoreSession> m_session;
  std::atomic<int> m_running{0};
  uint64_t m_totalMails = 0;
  int m_depth = 0;
};

}  // namespace quillmere::preview
