// The preview page: loading a sample file into the fields and the tree,
// handing the ticked folders on, the refusals while loading, and the three
// loading failures.
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "app/gui/placeholder_page.h"
#include "controls/gui/xhtml_tree.h"
#include "preview/gui/preview_dlg.h"
#include "store/libpff/libpff_store.h"
#include "store/memory/memory_store.h"
#include "tests/gui/shell_fixture.h"

using namespace quillmere;
using controls::CXHtmlTree;
using controls::kNoItem;
using controls::kTreeRoot;
using controls::TreeItem;

namespace {

const std::string kOutlookSample = std::string(QM_SAMPLES_DIR) + "/outlook.pst";
const char* kUnicodeInbox = "\xE6\x94\xB6\xE4\xBB\xB6\xE7\xAE\xB1";

// Holds every session back until released: the page stays in its loading
// state as long as the test needs.
class GatedFactory : public store::StoreSessionFactory {
 public:
  explicit GatedFactory(store::StoreSessionFactory& inner) : m_inner(inner) {}
  std::unique_ptr<store::StoreSession> CreateStoreSession() override {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_open; });
    return m_inner.CreateStoreSession();
  }
  void Open() {
    std::lock_guard lock(m_mutex);
    m_open = true;
    m_changed.notify_all();
  }

 private:
  store::StoreSessionFactory& m_inner;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_open = false;
};

class NoSessionFactory : public store::StoreSessionFactory {
 public:
  std::unique_ptr<store::StoreSession> CreateStoreSession() override { return nullptr; }
};

store::MailboxDescription SmallMailbox() {
  store::MailboxDescription box;
  box.displayName = "Small";
  store::FolderDescription inbox{"Inbox", "IPF.Note", {}, {}};
  inbox.items.resize(2);
  inbox.folders.push_back({"2024", "IPF.Note", {}, {}});
  box.folders = {inbox, {"Outbox", "IPF.Note", {}, {}}};
  return box;
}

// A stand-in for the main window, and the preview page opened from it.
struct PreviewFixture {
  explicit PreviewFixture(const std::string& file) {
    f.settings.m_currentFile = file;
    main.show();
  }
  preview::PreviewDlg* Open(store::StoreSessionFactory& sessions) {
    page = new preview::PreviewDlg(f.context, &main, sessions);
    main.ShowNextPage(page);
    return page;
  }
  QString Field(int id) const { return page->findChild<QLabel*>(QString::number(id))->text(); }
  void Click(int id) { page->findChild<QPushButton*>(QString::number(id))->click(); }
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const auto& record : f.settings.m_folders) paths.push_back(record.path);
    return paths;
  }
  TreeItem Find(const std::string& text) const {
    const auto& model = page->Tree().Model();
    for (TreeItem item = model.GetChildItem(kTreeRoot); item != kNoItem; item = model.NextItemInOrder(item))
      if (model.GetItemText(item) == text) return item;
    return kNoItem;
  }

  testing::ShellFixture f;
  gui::PlaceholderPage main{gui::kMainWindowTemplate, "main", f.context, nullptr};
  QPointer<preview::PreviewDlg> page;
};

}  // namespace

class PreviewPageTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    if (!std::filesystem::exists(kOutlookSample)) QSKIP("the sample files are missing");
  }

  void previewsTheSampleAndHandsOnTheTickedFolders() {
    PreviewFixture p(kOutlookSample);
    store::LibpffSessionFactory sessions;
    p.Open(sessions);
    // Filled before the worker starts, so shown even if loading fails.
    QCOMPARE(p.page->FileNameText(), QString::fromStdString(kOutlookSample));
    p.page->WaitForWorker();

    QCOMPARE(p.Field(preview::kFileSizeId), QString("271360"));
    QCOMPARE(p.Field(preview::kFileTypeId), QString("UNICODE"));
    QCOMPARE(p.Field(preview::kTotalMailsId), QString("2"));
    QCOMPARE(p.Field(preview::kTotalFolderId), QString("22"));
    QVERIFY(!p.page->findChild<QProgressBar*>(QString::number(preview::kProgressId))->isVisible());
    QVERIFY(p.page->isVisible());
    QVERIFY(!p.main.isVisible());

    // Every folder is in the tree, ticked; every parent is open; the
    // non-Latin name is the item's own text.
    CXHtmlTree& tree = p.page->Tree();
    QCOMPARE(tree.Model().GetCount(), p.f.settings.m_folders.size());
    for (TreeItem item = tree.FirstCheckedItem(); item != kNoItem; item = tree.NextItemInOrder(item)) {
      QVERIFY(tree.IsItemChecked(item));
      if (tree.Model().ItemHasChildren(item)) QVERIFY(tree.QtItem(item)->isExpanded());
    }
    const TreeItem unicodeInbox = p.Find(kUnicodeInbox);
    QVERIFY(unicodeInbox != kNoItem);
    QCOMPARE(tree.QtItem(unicodeInbox)->text(0), QString::fromUtf8(kUnicodeInbox));

    // Untick one folder with the mouse, then Next.
    const TreeItem outbox = p.Find("Outbox");
    tree.scrollToItem(tree.QtItem(outbox));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.CheckBoxRect(outbox).center());
    QVERIFY(!tree.IsItemChecked(outbox));
    p.f.settings.m_selectedFolders = {"left over"};
    p.Click(preview::kNextId);

    std::vector<std::string> expected;
    for (const std::string& path : p.Paths()) {
      // The unticked folder and its now partly ticked ancestors drop out.
      if (path.ends_with("\\Outbox") || path == "\\\\Personal Folders" ||
          path == "\\\\Personal Folders\\Top of Personal Folders")
        continue;
      expected.push_back(path);
    }
    QCOMPARE(p.f.settings.m_selectedFolders, expected);
    QVERIFY(p.page->NextPage() && p.page->NextPage()->isVisible());
    QVERIFY(!p.page->isVisible());
    QVERIFY(p.f.fakes.prompter.Texts().empty());
  }

  void buttonsRefuseWhileLoading_data() {
    QTest::addColumn<int>("button");
    QTest::newRow("Next") << preview::kNextId;
    QTest::newRow("Back") << preview::kBackId;
    QTest::newRow("Close") << gui::kCloseButtonId;
    QTest::newRow("cross") << gui::kCrossButtonId;
    QTest::newRow("Cancel") << gui::kCancelButtonId;
  }
  void buttonsRefuseWhileLoading() {
    QFETCH(int, button);
    PreviewFixture p("/mail/small.pst");
    store::MemoryStoreFactory memory;
    memory.AddFile("/mail/small.pst", SmallMailbox());
    GatedFactory gated(memory);
    p.Open(gated);
    QCOMPARE(p.page->Running(), 1);
    p.Click(button);
    QCOMPARE(p.f.fakes.prompter.Texts(), std::vector<std::string>{preview::kStopRunningText});
    QVERIFY(p.page->isVisible());
    QVERIFY(!p.page->NextPage());
    QVERIFY(!p.f.fakes.processExit.exitStatus);
    gated.Open();
    p.page->WaitForWorker();
    QCOMPARE(p.page->Running(), 0);
  }

  // The worker hands folders to the tree in runs without waiting for each;
  // still, once the page stops loading, every folder is in the tree (the
  // last, shorter run too) and a Next at that moment hands all of them on.
  void treeIsCompleteTheMomentLoadingEnds() {
    store::MailboxDescription box;
    box.displayName = "Many";
    for (int i = 0; i < 150; ++i) {
      box.folders.push_back({"Folder " + std::to_string(i), "IPF.Note", {}, {}});
      if (i % 3 == 0) box.folders.back().folders.push_back({"Sub", "IPF.Note", {}, {}});
    }
    PreviewFixture p("/mail/many.pst");
    store::MemoryStoreFactory memory;
    memory.AddFile("/mail/many.pst", box);
    p.Open(memory);
    while (p.page->Running() == 1) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCOMPARE(p.page->Tree().Model().GetCount(), p.f.settings.m_folders.size());
    p.Click(preview::kNextId);
    QCOMPARE(p.f.settings.m_selectedFolders, p.Paths());
    p.page->WaitForWorker();
  }

  void nextWithNothingTickedStays() {
    PreviewFixture p("/mail/small.pst");
    store::MemoryStoreFactory memory;
    memory.AddFile("/mail/small.pst", SmallMailbox());
    p.Open(memory);
    p.page->WaitForWorker();
    CXHtmlTree& tree = p.page->Tree();
    tree.SetItemCheck(tree.Model().GetChildItem(kTreeRoot), false);
    p.Click(preview::kNextId);
    QCOMPARE(p.f.fakes.prompter.Texts(), std::vector<std::string>{"Please select folder(s) to continue the process."});
    QVERIFY(p.f.settings.m_selectedFolders.empty());
    QVERIFY(p.page->isVisible());
    QVERIFY(!p.page->NextPage());
  }

  // Next, Back on the scope page, another choice, Next: only the second
  // choice is handed on.
  void secondNextReplacesTheSelection() {
    PreviewFixture p("/mail/small.pst");
    store::MemoryStoreFactory memory;
    memory.AddFile("/mail/small.pst", SmallMailbox());
    p.Open(memory);
    p.page->WaitForWorker();
    p.Click(preview::kNextId);
    QCOMPARE(p.f.settings.m_selectedFolders, p.Paths());
    QPointer<QWidget> first = p.page->NextPage();
    first->findChild<QPushButton*>("1101")->click();  // the scope page's Back
    QVERIFY(p.page->isVisible());

    CXHtmlTree& tree = p.page->Tree();
    tree.SetItemCheck(tree.Model().GetChildItem(kTreeRoot), false);
    tree.SetItemCheck(p.Find("Outbox"), true);
    p.Click(preview::kNextId);
    QCOMPARE(p.f.settings.m_selectedFolders,
             std::vector<std::string>{"\\\\Small\\Top of Personal Folders\\Outbox"});
    QVERIFY(p.page->NextPage() != first);
    QTRY_VERIFY(!first);
  }

  void backReturnsToTheMainWindowAndEndsThePage() {
    PreviewFixture p("/mail/small.pst");
    store::MemoryStoreFactory memory;
    memory.AddFile("/mail/small.pst", SmallMailbox());
    p.Open(memory);
    p.page->WaitForWorker();
    p.f.settings.m_selectedFolders = {"kept"};
    p.Click(preview::kBackId);
    QVERIFY(p.main.isVisible());
    QTRY_VERIFY(!p.page);
    QCOMPARE(p.f.settings.m_selectedFolders, std::vector<std::string>{"kept"});
    QCOMPARE(p.f.settings.m_folders.size(), size_t(7));
  }

  void loadingFailures_data() {
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("message");
    QTest::newRow("A: no session") << "session" << QString::fromStdString(preview::WrongConfigurationText());
    QTest::newRow("B: no reader") << "version"
                                  << "Please install MS Outlook(2000,2003,2007,2010 or higher version) and "
                                     "configured it properly on your system to run application.";
    QTest::newRow("C: not a PST") << "open" << "PST file is corrupt, repair it to process Quillmere application.";
  }
  void loadingFailures() {
    QFETCH(QString, failure);
    QFETCH(QString, message);
    PreviewFixture p("/mail/small.pst");
    store::MemoryStoreFactory memory;
    if (failure != "open") memory.AddFile("/mail/small.pst", SmallMailbox());
    if (failure == "version") memory.SetMailClientVersion("");
    NoSessionFactory none;
    p.Open(failure == "session" ? static_cast<store::StoreSessionFactory&>(none) : memory);
    p.page->WaitForWorker();
    QCOMPARE(p.f.fakes.prompter.Texts(), std::vector<std::string>{message.toStdString()});
    QCOMPARE(p.f.fakes.prompter.Asked().front().caption, std::string(kApplicationTitle));
    QCOMPARE(p.page->result(), 1);
    QVERIFY(!p.page->isVisible());
    QVERIFY(p.main.isVisible());
    QCOMPARE(p.page->Running(), 0);
    QCOMPARE(p.page->FileNameText(), QString("/mail/small.pst"));
    QCOMPARE(p.Field(preview::kTotalFolderId), QString());
  }

  void layoutFollowsTheTemplate() {
    PreviewFixture p("/mail/small.pst");
    store::MemoryStoreFactory memory;
    memory.AddFile("/mail/small.pst", SmallMailbox());
    p.Open(memory);
    p.page->WaitForWorker();
    const auto& units = p.page->Units();
    QCOMPARE(p.page->size(), units.Size(533, 359));
    QCOMPARE(p.page->findChild<CXHtmlTree*>("1009")->geometry(), units.Rect(17, 62, 204, 249));
    QCOMPARE(p.page->findChild<QProgressBar*>("1005")->geometry(), units.Rect(4, 321, 526, 10));
    QCOMPARE(p.page->findChild<QPushButton*>("1015")->geometry(), units.Rect(321, 339, 65, 16));
    QCOMPARE(p.page->findChild<QPushButton*>("1016")->geometry(), units.Rect(392, 339, 65, 16));
    QCOMPARE(p.page->findChild<QPushButton*>("1016")->toolTip(), QString("Next"));
    QCOMPARE(p.page->windowTitle(), QString(kApplicationTitle));
    QCOMPARE(p.page->findChildren<QGroupBox*>().size(), 2);
  }
};

QTEST_MAIN(PreviewPageTest)
#include "preview_page_test.moc"
