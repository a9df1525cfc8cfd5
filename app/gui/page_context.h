#pragma once
// What every page of the desktop shell is handed: the one RunSettings of
// the application, the platform ports, and the addresses the frame opens.
#include <functional>
#include <string>

#include "app/app_texts.h"
#include "app/run_settings.h"
#include "platform/ports.h"

class QDialog;

namespace quillmere::gui {

class WizardPage;

struct PageContext {
  RunSettings* settings = nullptr;
  platform::Ports ports;
  std::string productPage = kProductPage;
  // The how-it-works page shipped with the program, as a file:// URL.
  std::string helpPage;
  // Runs a modal dialog (the about box) and gives its result. Tests replace
  // it to look at the dialog without entering its event loop.
  std::function<int(QDialog&)> runModal;
  // Makers of the pages the main window opens, given the main window as the
  // parent; an empty maker opens a placeholder page.
  std::function<WizardPage*(WizardPage& parent)> makePreviewPage;
  std::function<WizardPage*(WizardPage& parent)> makeSearchOptionPage;
};

}  // namespace quillmere::gui
