// `quillmere-cli info FILE`: the preview load on the terminal. The four
// statistics lines exactly as the run log gets them, then one line per
// folder: its path, a tab, its item count.
#include <cstdio>
#include <string>
#include <vector>

#include "app/run_settings.h"
#include "cli/commands.h"
#include "cli/scan_input.h"
#include "cli/scan_options.h"
#include "detect/walk_order.h"
#include "preview/preview_loader.h"

namespace quillmere::cli {

namespace {

// The preview page's fields and tree are not shown here; its messages are
// kept for standard error.
class InfoView final : public preview::PreviewView {
 public:
  void SetFileSizeText(const std::string&) override {}
  void SetFileTypeText(const std::string&) override {}
  void SetTotalMailsText(const std::string&) override {}
  void SetTotalFolderText(const std::string&) override {}
  void SetProgressVisible(bool) override {}
  void SetProgressPosition(int) override {}
  void ShowMessage(const std::string& text) override { message = text; }
  void AddFolderToTree(size_t) override {}
  void EndPage(int) override {}

  std::string message;
};

void PrintInfoUsage(FILE* to) {
  std::fprintf(to,
               "usage: quillmere-cli info [--reader fast|libpff] FILE\n"
               "Prints the PST file's size, type, total items and total folders, as the run log\n"
               "gets them, then each folder's path, a tab and its item count, in walk order.\n"
               "--reader: the PST reader (default: fast; a file it cannot read is read through libpff,\n"
               "and a line on standard error says so)\n"
               "exit status: 0 done, 2 usage error, 3 the file could not be opened\n");
}

}  // namespace

int RunInfoCommand(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    PrintInfoUsage(stdout);
    return kExitDone;
  }
  std::string readerName = "fast";
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--reader" && i + 1 < args.size() && IsReaderName(args[i + 1])) {
      readerName = args[++i];
    } else if (args[i].rfind("--reader=", 0) == 0 && IsReaderName(args[i].substr(9))) {
      readerName = args[i].substr(9);
    } else {
      rest.push_back(args[i]);
    }
  }
  if (rest.size() != 1 || (rest[0].size() > 1 && rest[0][0] == '-')) {
    PrintInfoUsage(stderr);
    return kExitUsage;
  }
  const std::string& path = rest[0];
  if (auto why = WhyFileUnreadable(path)) {
    std::fprintf(stderr, "quillmere-cli: cannot open %s: %s\n", path.c_str(), why->c_str());
    return kExitFileNotOpened;
  }

  RunSettings settings;
  settings.m_currentFile = path;
  ReaderSessions readers(readerName);
  store::StoreSessionFactory& sessions = readers.factory();
  InfoView view;
  std::vector<std::string> lines;
  preview::PreviewLoader loader(sessions, settings, view, [&](const std::string& line) { lines.push_back(line); });
  // Nothing reaches standard output unless the whole file could be read.
  if (loader.LoadPreview() != 1) {
    std::fprintf(stderr, "quillmere-cli: %s: %s\n", path.c_str(), view.message.c_str());
    return kExitFileNotOpened;
  }
  for (const auto& line : lines) std::printf("%s\n", line.c_str());
  for (const auto& folder : settings.m_folders) std::printf("%s\t%d\n", folder.path.c_str(), folder.itemCount);
  // The preview's walk passes over what it cannot read; say so when it did.
  int32_t unreadable = 0;
  if (auto session = sessions.CreateStoreSession())
    if (auto pst = session->OpenPstStore(path)) detect::CollectFolderPathsInWalkOrder(pst->GetRootFolder(), &unreadable);
  if (unreadable > 0)
    std::fprintf(stderr,
                 "quillmere-cli: %s: %d part(s) of the folder tree could not be read; the folders below them "
                 "are not listed\n",
                 path.c_str(), unreadable);
  return kExitDone;
}

}  // namespace quillmere::cli
