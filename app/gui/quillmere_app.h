#pragma once
// The application object: holds the one RunSettings and the platform
// ports, refuses a second instance and shows the main window.
#include <functional>
#include <memory>

#include "app/gui/page_context.h"
#include "platform/instance_lock.h"

namespace quillmere::gui {

class CQuillmereDlg;

inline constexpr const char* kAnotherInstanceText = "Another instance of application is already running";

class CQuillmereApp {
 public:
  // With the real adapters of every port.
  CQuillmereApp();
  // With the given ports (tests).
  explicit CQuillmereApp(platform::Ports ports);
  ~CQuillmereApp();
  CQuillmereApp(const CQuillmereApp&) = delete;
  CQuillmereApp& operator=(const CQuillmereApp&) = delete;

  RunSettings& Settings() { return m_settings; }
  PageContext& Context() { return m_context; }

  // The start hook. `lock` is what taking the single-instance lock gave
  // before anything else. A second instance gets its message and nothing
  // else: no window, no run log. Otherwise the main window is created (it
  // creates the run log) and `runMainWindow` runs it (by default: show it
  // and run the event loop; the close flow normally ends the process in
  // there). False in every case, as the program ends when this returns.
  bool InitInstance(platform::LockResult lock,
                    const std::function<void(CQuillmereDlg&)>& runMainWindow = {});

 private:
  struct SystemPorts;
  std::unique_ptr<SystemPorts> m_system;
  RunSettings m_settings;
  PageContext m_context;
};

// The shipped how-it-works page next to the executable:
// <bin>/../share/velmora-quillmere/how-it-works.html, as a file:// URL.
std::string ShippedHelpPageUrl();

}  // namespace quillmere::gui
