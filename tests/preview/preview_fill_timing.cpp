// preview_fill_timing: how long the preview page takes to load and fill its
// tree with 5,000 folders, and the longest time its event loop went without
// turning meanwhile (what the user sees as a freeze), for the whole load and
// for the tree fill alone. Prints; asserts nothing.
//   preview_fill_timing [folders]     made-up mailboxes in memory
//   preview_fill_timing FILE.pst [fast]   a PST file, read through libpff
//                                         (or our own reader)
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <string>

#include "app/gui/placeholder_page.h"
#include "controls/gui/xhtml_tree.h"
#include "preview/folder_tree.h"
#include "preview/gui/preview_dlg.h"
#include "store/fast/fast_store.h"
#include "store/libpff/libpff_store.h"
#include "store/memory/memory_store.h"
#include "tests/gui/shell_fixture.h"

using namespace quillmere;

namespace {

struct Shape {
  const char* name;
  std::vector<int> fanOut;  // children per folder, level by level
};

// Depth first: each folder gets its children before its next sibling comes.
void Fill(std::vector<store::FolderDescription>& into, const std::vector<int>& fanOut, size_t depth, int& made,
          int limit) {
  if (depth >= fanOut.size()) return;
  for (int i = 0; i < fanOut[depth] && made < limit; ++i) {
    into.push_back({"Folder " + std::to_string(made++), "IPF.Note", {}, {}});
    Fill(into.back().folders, fanOut, depth + 1, made, limit);
  }
}

// Opens the preview page for `file` and prints its timings.
void Measure(const char* name, const std::string& file, store::StoreSessionFactory& sessions) {
  testing::ShellFixture f;
  f.settings.m_currentFile = file;
  gui::PlaceholderPage main(gui::kMainWindowTemplate, "main", f.context, nullptr);
  main.show();

  QElapsedTimer clock;
  qint64 last = 0, longest = 0, longestInFill = 0, fillStart = -1;
  QTimer ticker;
  ticker.setInterval(1);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    longest = std::max(longest, now - last);
    if (fillStart >= 0) longestInFill = std::max(longestInFill, now - last);
    last = now;
  });
  clock.start();
  ticker.start();
  auto* page = new preview::PreviewDlg(f.context, &main, sessions);
  main.ShowNextPage(page);
  // The totals are shown just before the folders go to the tree.
  auto* folders = page->findChild<QLabel*>(QString::number(preview::kTotalFolderId));
  last = clock.elapsed();
  while (page->Running() == 1) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    if (fillStart < 0 && !folders->text().isEmpty()) fillStart = clock.elapsed();
  }
  const qint64 total = clock.elapsed();
  page->Tree().viewport()->repaint();
  const qint64 painted = clock.elapsed();
  ticker.stop();
  if (fillStart < 0) fillStart = total;
  std::printf(
      "%-8s %5zu folders: loaded in %lld ms (walk %lld ms, tree fill %lld ms), first paint after %lld ms, "
      "longest stall %lld ms (%lld ms during the tree fill)\n",
      name, page->Tree().Model().GetCount(), static_cast<long long>(total), static_cast<long long>(fillStart),
      static_cast<long long>(total - fillStart), static_cast<long long>(painted - total),
      static_cast<long long>(longest), static_cast<long long>(longestInFill));
  // The UI thread's own share of the fill: the same folders added to a
  // fresh tree in one go, on this thread, shown.
  controls::CXHtmlTree tree;
  tree.resize(page->Tree().size());
  tree.ResetTree();
  tree.SetSmartCheck(true);
  tree.show();
  QApplication::processEvents();
  clock.restart();
  for (size_t i = 0; i < f.settings.m_folders.size(); ++i) preview::AddFolderToTree(f.settings.m_folders, i, tree.Model());
  const qint64 added = clock.elapsed();
  tree.viewport()->repaint();
  std::printf("%-8s        the same folders added on the UI thread in one go: %lld ms, painted after %lld ms more\n", name,
              static_cast<long long>(added), static_cast<long long>(clock.elapsed() - added));
  delete page;
}

void MeasureShape(const Shape& shape, int limit) {
  store::MailboxDescription box;
  box.displayName = "Big";
  int made = 0;
  // The memory store adds the root, its top folder, Deleted Items and
  // Search Root around the described folders.
  Fill(box.folders, shape.fanOut, 0, made, limit - 4);
  store::MemoryStoreFactory memory;
  memory.AddFile("/big.pst", box);
  Measure(shape.name, "/big.pst", memory);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc > 1 && std::string(argv[1]).ends_with(".pst")) {
    store::LibpffSessionFactory libpff;
    store::FastSessionFactory fast;
    const bool useFast = argc > 2 && std::string(argv[2]) == "fast";
    Measure(useFast ? "fast" : "libpff", argv[1], useFast ? static_cast<store::StoreSessionFactory&>(fast) : libpff);
    return 0;
  }
  const int folders = argc > 1 ? std::atoi(argv[1]) : 5000;
  // One folder holding everything; 50 x 100; 10 x 10 x 50.
  for (const Shape& shape : {Shape{"flat", {1, 100000}}, Shape{"two", {50, 100}}, Shape{"three", {10, 10, 50}}})
    MeasureShape(shape, folders);
  return 0;
}
