#pragma once
// What the scope, criteria and run page tests share: the shell's fixture, a
// store in memory, a stand-in for the page that opens the wizard, and finding
// controls by their ids.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QTest>

#include <memory>
#include <string>

#include "app/gui/page_frame.h"
#include "store/memory/memory_store.h"
#include "tests/gui/shell_fixture.h"

namespace quillmere::testing {

struct WizardFixture : ShellFixture {
  WizardFixture() : opener(std::make_unique<gui::WizardPage>(gui::kMainWindowTemplate, context, nullptr)) {
    opener->show();
  }

  template <typename T = QWidget>
  static T* Control(QWidget* page, int id) {
    auto* control = page->findChild<T*>(QString::number(id), Qt::FindDirectChildrenOnly);
    if (!control) qFatal("no control %d of type %s on the page", id, T::staticMetaObject.className());
    return control;
  }
  static void Click(QWidget* page, int id) { Control<QAbstractButton>(page, id)->click(); }
  static bool Checked(QWidget* page, int id) { return Control<QAbstractButton>(page, id)->isChecked(); }
  static bool Enabled(QWidget* page, int id) { return Control(page, id)->isEnabled(); }

  // The texts of the boxes shown so far, and forgets them.
  std::vector<std::string> TakePrompts() {
    auto texts = fakes.prompter.Texts();
    fakes.prompter.Clear();
    return texts;
  }

  // Runs the deferred deletions of pages that went away.
  static void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }

  store::MemoryStoreFactory sessions;
  std::unique_ptr<gui::WizardPage> opener;  // the main window or the preview page
};

}  // namespace quillmere::testing
