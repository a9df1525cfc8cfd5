#pragma once
// Every platform service the desktop shell calls, handed to the pages as one
// bundle. The application fills it with the real adapters, tests with fakes.
#include "platform/clock.h"
#include "platform/desktop_folder.h"
#include "platform/file_dialogs.h"
#include "platform/process_exit.h"
#include "platform/process_list.h"
#include "platform/prompter.h"
#include "platform/url_opener.h"

namespace quillmere::platform {

struct Ports {
  Prompter* prompter = nullptr;
  FileDialogs* fileDialogs = nullptr;
  DesktopFolder* desktopFolder = nullptr;
  Clock* clock = nullptr;
  ProcessList* processList = nullptr;
  ProcessKiller* processKiller = nullptr;
  UrlOpener* urlOpener = nullptr;
  ProcessExit* processExit = nullptr;
};

}  // namespace quillmere::platform
