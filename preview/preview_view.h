#pragma once
// What the preview loading worker tells its page. The preview page and the
// command line each implement it; every call is made on the worker's thread
// and returns once the change is made.
#include <cstddef>
#include <string>

namespace quillmere::preview {

class PreviewView {
 public:
  virtual ~PreviewView() = default;
  // The information fields 1011 to 1014.
  virtual void SetFileSizeText(const std::string& text) = 0;   // "PST File Size (bytes):"
  virtual void SetFileTypeText(const std::string& text) = 0;   // "PST File Type:"
  virtual void SetTotalMailsText(const std::string& text) = 0; // "Total Mails:"
  virtual void SetTotalFolderText(const std::string& text) = 0; // "Total Folder:"
  // The progress bar 1005; its range stays at the control's default.
  virtual void SetProgressVisible(bool visible) = 0;
  virtual void SetProgressPosition(int position) = 0;
  // An information message box owned by the page, with the application title.
  virtual void ShowMessage(const std::string& text) = 0;
  // Hands one index of m_folders to the folder tree, in ascending order.
  virtual void AddFolderToTree(size_t index) = 0;
  // The page ends with this result and its parent window is shown again.
  virtual void EndPage(int result) = 0;
};

}  // namespace quillmere::preview
