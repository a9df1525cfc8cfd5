#pragma once
// The Qt adapters of the platform ports. Call them on the GUI thread.
#include "platform/file_dialogs.h"
#include "platform/prompter.h"
#include "platform/url_opener.h"

namespace quillmere::platform::qt {

// QMessageBox with the given caption, icon and buttons.
class QtPrompter final : public Prompter {
 public:
  PromptAnswer Ask(const Prompt& prompt) override;
};

// QFileDialog: several files for Add Files, a folder for Search Files.
class QtFileDialogs final : public FileDialogs {
 public:
  std::optional<std::vector<std::string>> OpenFiles(const OpenFilesRequest& request) override;
  std::optional<std::string> BrowseFolder(const BrowseFolderRequest& request) override;
};

// QDesktopServices::openUrl.
class QtUrlOpener final : public UrlOpener {
 public:
  bool Open(const std::string& url, const void* owner) override;
};

}  // namespace quillmere::platform::qt
