// preview_fill_timing: how long the preview page takes to fill its tree
// with 5,000 folders, and the longest time its event loop went without
// turning meanwhile (what the user sees as a freeze). Prints; asserts
// nothing.
//   preview_fill_timing [folders]
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "app/gui/placeholder_page.h"
#include "controls/gui/xhtml_tree.h"
#include "preview/gui/preview_dlg.h"
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

void Measure(const Shape& shape, int limit) {
  store::MailboxDescription box;
  box.displayName = "Big";
  int made = 0;
  // The memory store adds the root, its top folder, Deleted Items and
  // Search Root around the described folders.
  Fill(box.folders, shape.fanOut, 0, made, limit - 4);
  store::MemoryStoreFactory memory;
  memory.AddFile("/big.pst", box);

  testing::ShellFixture f;
  f.settings.m_currentFile = "/big.pst";
  gui::PlaceholderPage main(gui::kMainWindowTemplate, "main", f.context, nullptr);
  main.show();

  QElapsedTimer clock;
  qint64 last = 0, longest = 0;
  QTimer ticker;
  ticker.setInterval(1);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    longest = std::max(longest, now - last);
    last = now;
  });
  clock.start();
  ticker.start();
  auto* page = new preview::PreviewDlg(f.context, &main, memory);
  main.ShowNextPage(page);
  last = clock.elapsed();
  while (page->Running() == 1) QApplication::processEvents(QEventLoop::AllEvents, 5);
  const qint64 total = clock.elapsed();
  page->Tree().viewport()->repaint();
  const qint64 painted = clock.elapsed();
  ticker.stop();
  std::printf("%-8s %5zu folders: filled in %lld ms, first paint after %lld ms, longest stall %lld ms\n", shape.name,
              page->Tree().Model().GetCount(), static_cast<long long>(total),
              static_cast<long long>(painted - total), static_cast<long long>(longest));
  delete page;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int folders = argc > 1 ? std::atoi(argv[1]) : 5000;
  // One folder holding everything; 50 x 100; 10 x 10 x 50.
  for (const Shape& shape : {Shape{"flat", {1, 100000}}, Shape{"two", {50, 100}}, Shape{"three", {10, 10, 50}}})
    Measure(shape, folders);
  return 0;
}
