#pragma once
// What the scope, criteria and run page tests share: the shell's fixture, a
// store in memory, a stand-in for the page that opens the wizard, and finding
// controls by their ids.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QTest>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/utf.h"

#include "app/gui/page_frame.h"
#include "store/memory/memory_store.h"
#include "tests/gui/shell_fixture.h"

namespace quillmere::testing {

// The lines of a run log (UTF-16LE with a byte-order mark, CR LF), header included.
inline std::vector<std::string> ReadLogLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::u16string text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2)
    text.push_back(char16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8)));
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find(u"\r\n", start)) != std::u16string::npos; start = end + 2)
    lines.push_back(Utf16ToUtf8(text.substr(start, end - start)));
  return lines;
}

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
