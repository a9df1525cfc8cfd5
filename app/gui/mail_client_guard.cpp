#include "app/gui/mail_client_guard.h"

#include "app/app_texts.h"

namespace quillmere::gui {

bool IsMailClientName(const std::string& baseName) {
  std::string lower = baseName;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return lower == "outlook.exe";
}

void GuardMailClient(const MailClientGuardPorts& ports, const void* owner) {
  const auto pids = ports.processes.ListProcessIds();
  if (!pids) return;
  for (int pid : *pids)
    if (pid != 0) CheckMailClientProcess(ports, owner, pid);
}

void CheckMailClientProcess(const MailClientGuardPorts& ports, const void* owner, int pid) {
  // A process whose name cannot be read stays "<unknown>" and is passed over.
  const std::string name = ports.processes.BaseName(pid).value_or("<unknown>");
  if (!IsMailClientName(name)) return;
  const auto answer = ports.prompter.Ask({kApplicationTitle, kCloseMailClientQuestion,
                                          platform::PromptIcon::Question, platform::PromptButtons::YesNo,
                                          owner});
  if (answer == platform::PromptAnswer::Yes) ports.killer.Kill(pid);
}

}  // namespace quillmere::gui
