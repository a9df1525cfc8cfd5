#include "preview/preview_loader.h"

#include <cinttypes>
#include <cstdio>

#include "app/app_texts.h"
#include "app/file_size_text.h"
#include "app/run_log.h"
#include "store/folder_path.h"

namespace quillmere::preview {

namespace {

// Deeper than any real folder tree; a corrupt file may loop its hierarchy.
constexpr int kMaxFolderDepth = 1024;

}  // namespace

std::string WrongConfigurationText() {
  return std::string(
             "Wrong configuration is detected.\r\nPlease make sure that MS outlook 64-bit is installed and "
             "configured on your system\r\n. If ms outlook is 64 bit then select x64 version of software "
             "otherwise select x86 version of software\r\n or contact ") +
         kSupportEmail + " ";
}

PreviewLoader::PreviewLoader(store::StoreSessionFactory& sessions, RunSettings& settings, PreviewView& view,
                             std::function<void(const std::string&)> onLogLine)
    : m_sessions(sessions), m_settings(settings), m_view(view), m_onLogLine(std::move(onLogLine)) {}

void PreviewLoader::WriteLogLine(const std::string& text) {
  if (m_settings.m_logFile) m_settings.m_logFile->WriteLogLine(text);
  if (m_onLogLine) m_onLogLine(text);
}

int PreviewLoader::FailureExit(const std::string& message) {
  m_view.ShowMessage(message);
  m_session.reset();
  m_running = 0;
  m_view.EndPage(1);
  return 0;
}

int PreviewLoader::LoadPreview() {
  m_running = 1;
  m_session = m_sessions.CreateStoreSession();
  if (!m_session) return FailureExit(WrongConfigurationText());
  if (m_session->GetMailClientVersion().empty()) return FailureExit(kInstallMailClientText);

  m_view.SetProgressVisible(true);
  m_view.SetProgressPosition(0);

  const std::string sizeText = GetFileSizeText(m_settings.m_currentFile);
  WriteLogLine("PST file size: " + sizeText);
  m_view.SetFileSizeText(sizeText);

  std::unique_ptr<store::PstStore> pstStore;
  try {
    pstStore = m_session->OpenPstStore(m_settings.m_currentFile);
  } catch (const std::exception&) {
  }
  if (!pstStore) return FailureExit(kCorruptFileText);

  switch (const int32_t type = pstStore->GetPstType()) {
    case store::kPstTypeAnsi:
    case store::kPstTypeUnicode:
    case store::kPstTypeUnknown: {
      const char* name = type == store::kPstTypeAnsi ? "ANSI" : type == store::kPstTypeUnicode ? "UNICODE" : "UNKNOWN";
      m_view.SetFileTypeText(name);
      WriteLogLine(std::string("PST file type: ") + name);
      break;
    }
    default:
      // No name for it: the field stays empty and the log shows the value.
      WriteLogLine("PST file type: " + std::to_string(type));
      break;
  }

  auto root = pstStore->GetRootFolder();
  // Without its root folder the file cannot be walked at all; reporting
  // "0 folders" would pass a broken file off as an empty one.
  if (!root) return FailureExit(kCorruptFileText);
  m_settings.m_folders.clear();
  m_depth = 0;
  WalkFolder(*root, 1);
  root.reset();
  pstStore.reset();

  char number[32];
  std::snprintf(number, sizeof number, "%" PRIu64, m_totalMails);
  WriteLogLine(std::string("Total number of emails in selected pst file: ") + number);
  m_view.SetTotalMailsText(number);

  const size_t n = m_settings.m_folders.size();
  std::snprintf(number, sizeof number, "%d", static_cast<int>(n));
  WriteLogLine(std::string("Total number of folders in selected pst file: ") + number);
  m_view.SetTotalFolderText(number);

  for (size_t i = 0; i < n; ++i) m_view.AddFolderToTree(i);

  m_view.SetProgressVisible(false);
  m_running = 0;
  if (m_session->GetLoggedOn()) m_session->LogOff();
  m_session.reset();
  return 1;
}

void PreviewLoader::AppendFolder(store::MailFolder& folder) {
  FolderRecord record;
  record.path = folder.GetFolderPath();
  auto items = folder.GetItems();
  record.itemCount = items ? items->GetCount() : 0;
  record.name = store::FolderNameOfPath(record.path);
  m_totalMails += static_cast<uint64_t>(static_cast<int64_t>(record.itemCount));
  m_settings.m_folders.push_back(std::move(record));
}

uint64_t PreviewLoader::WalkFolder(store::MailFolder& folder, int isTop) {
  if (isTop == 1) AppendFolder(folder);
  if (m_depth >= kMaxFolderDepth) return m_totalMails;
  auto children = folder.GetFolders();
  const int32_t count = children ? children->GetCount() : 0;
  for (int32_t j = 1; j <= count; ++j) {
    // A sub folder that cannot be had is passed over with everything below it.
    auto child = children->GetItem(j);
    if (!child) continue;
    AppendFolder(*child);
    ++m_depth;
    WalkFolder(*child, 0);
    --m_depth;
  }
  return m_totalMails;
}

}  // namespace quillmere::preview
