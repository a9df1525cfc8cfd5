// quillmere: the desktop wizard of Velmora Quillmere.
#include <QApplication>

#include "app/app_texts.h"
#include "app/gui/quillmere_app.h"
#include "platform/instance_lock.h"

#ifdef QM_WITH_WIZARD_PAGES
#include "options/gui/search_option_dlg.h"
#include "preview/gui/preview_dlg.h"
#include "store/fast/fast_store.h"
#include "store/libpff/libpff_store.h"
#endif

int main(int argc, char** argv) {
  // The single-instance lock comes before anything else and is held until
  // the process ends.
  quillmere::platform::FlockInstanceLock instanceLock(quillmere::kInstanceLockName);
  const auto lock = instanceLock.Acquire();

  QApplication qtApp(argc, argv);
  quillmere::gui::CQuillmereApp app;
#ifdef QM_WITH_WIZARD_PAGES
  // The pages behind Preview and Process read the files through our own
  // reader, as quillmere-cli does; a file it cannot open (an OST with 4 KB
  // pages, say) is read through libpff, which gives the same report.
  quillmere::store::LibpffSessionFactory libpffSessions;
  quillmere::store::FastWithFallbackSessionFactory sessions(libpffSessions, {});
  app.Context().makePreviewPage = quillmere::preview::PreviewPageMaker(app.Context(), sessions);
  app.Context().makeSearchOptionPage = quillmere::gui::SearchOptionPageMaker(sessions);
#endif
  app.InitInstance(lock);
  return 0;
}
