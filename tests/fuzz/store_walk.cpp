#include "tests/fuzz/store_walk.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <stdexcept>

#include "app/run_settings.h"
#include "detect/run_driver.h"
#include "preview/preview_loader.h"

namespace quillmere::fuzz {

namespace {

class QuietView final : public preview::PreviewView {
 public:
  void SetFileSizeText(const std::string&) override {}
  void SetFileTypeText(const std::string&) override {}
  void SetTotalMailsText(const std::string&) override {}
  void SetTotalFolderText(const std::string&) override {}
  void SetProgressVisible(bool) override {}
  void SetProgressPosition(int) override {}
  void ShowMessage(const std::string&) override {}
  void AddFolderToTree(size_t) override {}
  void EndPage(int) override {}
};

class QuietSink final : public detect::RunSink {
 public:
  explicit QuietSink(WalkFigures& figures) : m_figures(figures) {}
  void AppendReportLine(const std::string&) override {}
  void SetProgressRange(int64_t, int64_t) override {}
  void SetProgressPosition(int64_t) override {}
  void SetProgressVisible(bool) override {}
  void SetButtons(const detect::RunButtons&) override {}
  void ShowMessage(const std::string&) override {}
  // The details make the scan read the identifier and subject of duplicates.
  bool WantsDuplicateDetails() const override { return true; }
  void OnFolderDone(const detect::FolderOutcome& outcome) override { m_figures.itemsUnreadable += outcome.itemsSkipped; }

 private:
  WalkFigures& m_figures;
};

class FixedClock final : public platform::Clock {
 public:
  CivilDateTime Now() override { return CivilDateTime{2024, 3, 6, 12, 0, 0}; }
};

// Every field an item offers; a read that raises ends nothing but this item.
bool ReadEveryField(store::MailItem& item) {
  try {
    (void)item.GetItemClass();
    (void)item.GetSentTime();
    (void)item.GetBodyText();
    (void)item.GetAlternateBodyText();
    (void)item.GetSubject();
    (void)item.GetSenderEmailAddress();
    (void)item.GetSenderName();
    (void)item.GetReceiverName();
    (void)item.ReadInternetHeader();
    (void)item.GetItemId();
    (void)item.GetSize();
    (void)item.GetAttachmentCount();
    return true;
  } catch (const store::StoreError&) {
    return false;
  }
}

}  // namespace

WalkFigures WalkStoreLikePreviewAndScan(store::StoreSessionFactory& sessions, const std::string& path) {
  WalkFigures figures;

  // The preview load, as the page runs it.
  RunSettings settings;
  settings.m_currentFile = path;
  QuietView view;
  preview::PreviewLoader loader(sessions, settings, view);
  figures.opened = loader.LoadPreview() == 1;
  if (!figures.opened) return figures;
  figures.folders = static_cast<int64_t>(settings.m_folders.size());
  figures.items = static_cast<int64_t>(loader.TotalMails());

  // The run over the whole file with every criterion, as the run page starts it.
  detect::RunRequest request;
  request.targets.push_back({path, "0", std::nullopt});
  request.scope = 2;
  request.criteria = ComparisonCriteria{1, 1, 1, 1, 1, 1, 1, 1};
  QuietSink sink(figures);
  FixedClock clock;
  std::atomic<int> running{1};
  detect::RunDuplicateSearch(request, {sessions, sink, nullptr, clock}, running);

  // The scan ends a folder at its first read error; the items after it are
  // read here, every field of each, through folders found by their paths.
  auto session = sessions.CreateStoreSession();
  if (!session || !session->OpenPstStore(path)) return figures;
  for (const auto& record : settings.m_folders) {
    auto folder = session->GetFolderFromPath(record.path);
    if (!folder) continue;
    auto items = folder->GetItems();
    const int32_t n = items ? items->GetCount() : 0;
    for (int32_t i = 1; i <= n; ++i)
      if (auto item = items->GetItem(i)) (void)ReadEveryField(*item);
  }
  return figures;
}

WalkFigures WalkBytes(store::StoreSessionFactory& sessions, const uint8_t* data, size_t size) {
  const int fd = ::memfd_create("quillmere-fuzz", MFD_CLOEXEC);
  if (fd < 0) throw std::runtime_error("memfd_create failed");
  size_t written = 0;
  while (written < size) {
    const ssize_t n = ::write(fd, data + written, size - written);
    if (n <= 0) {
      ::close(fd);
      throw std::runtime_error("writing the input failed");
    }
    written += static_cast<size_t>(n);
  }
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  WalkFigures figures = WalkStoreLikePreviewAndScan(sessions, path);
  ::close(fd);
  return figures;
}

}  // namespace quillmere::fuzz
