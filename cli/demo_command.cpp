// `quillmere-cli demo [DESCRIPTION.json]`: the duplicate search over a
// mailbox held in memory, so the engine can be seen without any PST file.
#include <atomic>
#include <cstdio>
#include <exception>
#include <string>

#include "cli/commands.h"
#include "detect/run_driver.h"
#include "platform/clock.h"
#include "store/memory/memory_store.h"

namespace quillmere::cli {

extern const char kDemoMailboxJson[];

namespace {

class PrintingSink final : public detect::RunSink {
 public:
  void AppendReportLine(const std::string& text) override { std::printf("%s\n", text.c_str()); }
  void SetProgressRange(int64_t, int64_t) override {}
  void SetProgressPosition(int64_t) override {}
  void SetProgressVisible(bool) override {}
  void SetButtons(const detect::RunButtons&) override {}
  void ShowMessage(const std::string& text) override {
    if (text != "Quillmere process completed successfully.") std::fprintf(stderr, "%s\n", text.c_str());
  }
};

}  // namespace

int RunDemoCommand(const std::vector<std::string>& args) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    std::printf(
        "usage: quillmere-cli demo [DESCRIPTION.json]\n"
        "Finds duplicates (subject, sender e-mail, attachments; within each folder) in a mailbox\n"
        "described in JSON and held in memory; without a file, in the built-in demo mailbox.\n");
    return kExitDone;
  }
  store::MailboxDescription box;
  try {
    box = args.empty() ? store::ParseMailboxDescription(kDemoMailboxJson)
                       : store::LoadMailboxDescription(args[0]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quillmere-cli demo: %s\n", e.what());
    return kExitUsage;
  }
  const std::string path = args.empty() ? "demo-mailbox.pst" : args[0];
  store::MemoryStoreFactory sessions;
  sessions.AddFile(path, box);

  detect::RunRequest request;
  request.targets.push_back({path, "", std::nullopt});
  request.scope = 1;
  request.criteria.subject = request.criteria.senderEmail = request.criteria.attachments = 1;

  PrintingSink sink;
  platform::SystemClock clock;
  std::atomic<int> running{1};
  const auto end = detect::RunDuplicateSearch(request, {sessions, sink, nullptr, clock}, running);
  return end == detect::RunEnd::kCompleted ? kExitDone : kExitFileNotOpened;
}

}  // namespace quillmere::cli
