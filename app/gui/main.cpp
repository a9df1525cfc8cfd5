// quillmere: the desktop wizard of Velmora Quillmere.
#include <QApplication>

#include "app/app_texts.h"
#include "app/gui/quillmere_app.h"
#include "platform/instance_lock.h"

int main(int argc, char** argv) {
  // The single-instance lock comes before anything else and is held until
  // the process ends.
  quillmere::platform::FlockInstanceLock instanceLock(quillmere::kInstanceLockName);
  const auto lock = instanceLock.Acquire();

  QApplication qtApp(argc, argv);
  quillmere::gui::CQuillmereApp app;
  app.InitInstance(lock);
  return 0;
}
