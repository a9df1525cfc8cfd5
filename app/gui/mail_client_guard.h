#pragma once
// Before a page that opens PST files, offers to end every running mail
// client: one question per process whose executable is "outlook.exe" in
// any letter case (how the mail client shows when it runs under Wine).
// Never waits for a process to end and never stops the caller.
#include <string>

#include "platform/process_list.h"
#include "platform/prompter.h"

namespace quillmere::gui {

inline constexpr const char* kCloseMailClientQuestion =
    "Microsoft Outlook instance is running.Do you want to close the Microsoft Outlook Instance?";

struct MailClientGuardPorts {
  platform::ProcessList& processes;
  platform::ProcessKiller& killer;
  platform::Prompter& prompter;
};

// True for a base name that lower-cased is exactly "outlook.exe".
bool IsMailClientName(const std::string& baseName);

void GuardMailClient(const MailClientGuardPorts& ports, const void* owner);
void CheckMailClientProcess(const MailClientGuardPorts& ports, const void* owner, int pid);

}  // namespace quillmere::gui
