#include "app/gui/quillmere_app.h"

#include <QApplication>
#include <QDir>
#include <QUrl>

#include "app/gui/main_window.h"
#include "platform/qt/qt_adapters.h"

namespace quillmere::gui {

struct CQuillmereApp::SystemPorts {
  platform::qt::QtPrompter prompter;
  platform::qt::QtFileDialogs fileDialogs;
  platform::XdgDesktopFolder desktopFolder;
  platform::SystemClock clock;
  platform::ProcProcessList processList;
  platform::SignalProcessKiller processKiller;
  platform::qt::QtUrlOpener urlOpener;
  platform::ImmediateProcessExit processExit;
};

std::string ShippedHelpPageUrl() {
  const QString path = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                       "/../share/velmora-quillmere/how-it-works.html");
  return QUrl::fromLocalFile(path).toString().toStdString();
}

CQuillmereApp::CQuillmereApp() : m_system(std::make_unique<SystemPorts>()) {
  auto& s = *m_system;
  m_context.settings = &m_settings;
  m_context.ports = {&s.prompter,    &s.fileDialogs,   &s.desktopFolder, &s.clock,
                     &s.processList, &s.processKiller, &s.urlOpener,     &s.processExit};
  m_context.helpPage = ShippedHelpPageUrl();
}

CQuillmereApp::CQuillmereApp(platform::Ports ports) {
  m_context.settings = &m_settings;
  m_context.ports = ports;
}

CQuillmereApp::~CQuillmereApp() = default;

bool CQuillmereApp::InitInstance(platform::LockResult lock,
                                 const std::function<void(CQuillmereDlg&)>& runMainWindow) {
  // The name under which the toolkit would keep settings; nothing is stored.
  QCoreApplication::setOrganizationName(QString::fromUtf8(kRegistryKeyName));
  QCoreApplication::setApplicationName(QString::fromUtf8(kRegistryKeyName));
  // A lock that could not be made at all does not stop the start.
  if (lock == platform::LockResult::AlreadyRunning) {
    m_context.ports.prompter->Ask({kApplicationTitle, kAnotherInstanceText, platform::PromptIcon::Information,
                                   platform::PromptButtons::Ok, nullptr});
    return false;
  }
  CQuillmereDlg mainWindow(m_context);
  if (runMainWindow) {
    runMainWindow(mainWindow);
  } else {
    // Hidden pages are not closed windows: only the close flow ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    mainWindow.show();
    QApplication::exec();
  }
  return false;
}

}  // namespace quillmere::gui
