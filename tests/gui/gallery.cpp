// quillmere-gallery: renders every page built so far to PNG files
// (offscreen), so each page can be looked at without a display.
//   quillmere-gallery [output folder]     (default: <build>/gallery)
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>

#include "app/gui/about_box.h"
#include "app/gui/image_button.h"
#include "app/gui/main_window.h"
#include "app/gui/placeholder_page.h"
#include "resources/artwork.h"
#include "resources/resource_table.h"
#include "tests/gui/shell_fixture.h"

#ifdef QM_GALLERY_WIZARD
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>

#include "detect/gui/processdlg.h"
#include "options/gui/filter_dlg.h"
#include "options/gui/search_option_dlg.h"
#include "store/memory/memory_store.h"
#endif

#ifdef QM_GALLERY_PREVIEW
#include <QScrollBar>

#include "controls/gui/xhtml_tree.h"
#include "preview/gui/preview_dlg.h"
#include "store/libpff/libpff_store.h"
#endif

using namespace quillmere;

namespace {

bool Save(QWidget& widget, const QDir& out, const QString& name) {
  widget.show();
  QApplication::processEvents();
  const QString path = out.filePath(name + ".png");
  const bool ok = widget.grab().save(path);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
  widget.hide();
  return ok;
}

// Every picture of the resource table side by side, normal and hover looks.
bool SaveArtworkSheet(const QDir& out) {
  QWidget sheet;
  sheet.setStyleSheet("background: white;");
  int x = 8, y = 8;
  for (const auto& entry : resources::AllResources()) {
    if (entry.look == resources::Look::Fixed) continue;
    auto* picture = new QLabel(&sheet);
    picture->setPixmap(resources::LoadPixmap(entry.number, QSize(40, 40)));
    picture->setGeometry(x, y, 40, 40);
    auto* number = new QLabel(QString::number(entry.number), &sheet);
    number->setGeometry(x, y + 42, 40, 14);
    number->setAlignment(Qt::AlignCenter);
    x += 48;
    if (x > 8 + 48 * 11) {
      x = 8;
      y += 64;
    }
  }
  sheet.resize(8 + 48 * 12, y + 72);
  return Save(sheet, out, "artwork_buttons");
}

#ifdef QM_GALLERY_WIZARD
// The scope, criteria and run pages as they open, and each in the state a
// user sees most: manual ranges listed, the original-file action with its
// folder name, a run half way and a finished report.
bool SaveWizardPages(testing::ShellFixture& f, const QDir& out) {
  bool ok = true;
  store::MemoryStoreFactory sessions;
  gui::WizardPage opener(gui::kMainWindowTemplate, f.context, nullptr);

  gui::SearchOptionDlg scope(f.context, &opener, sessions);
  ok &= Save(scope, out, "search_option");
  scope.findChild<QAbstractButton*>(QString::number(gui::kManualPeriodId))->click();
  auto* start = scope.findChild<QDateTimeEdit*>(QString::number(gui::kStartDateId));
  auto* end = scope.findChild<QDateTimeEdit*>(QString::number(gui::kEndDateId));
  for (const auto& [from, to] : {std::pair{QDate(2023, 1, 1), QDate(2023, 3, 31)},
                                 std::pair{QDate(2023, 10, 1), QDate(2024, 2, 29)}}) {
    start->setDate(from);
    end->setDate(to);
    scope.findChild<QAbstractButton*>(QString::number(gui::kAddRangeId))->click();
  }
  ok &= Save(scope, out, "search_option_manual");

  gui::FilterDlg criteria(f.context, &opener, sessions);
  ok &= Save(criteria, out, "criteria");
  criteria.findChild<QAbstractButton*>(QString::number(gui::kRemoveInOriginalId))->click();
  criteria.findChild<QComboBox*>(QString::number(gui::kActionListId))->setCurrentIndex(4);
  criteria.findChild<QLineEdit*>(QString::number(gui::kFolderNameId))->setText("Duplicates");
  criteria.findChild<QAbstractButton*>(QString::number(gui::kFirstCriterionId + 6))->click();
  ok &= Save(criteria, out, "criteria_original");

  gui::Processdlg run(f.context, &opener, sessions);
  ok &= Save(run, out, "run");
  const std::string top = "\\\\Personal Folders\\Top of Personal Folders";
  const char* lines[] = {"Duplicate Removing process starts:   Mar-06-2024_02-05-09-PM)",
                         "/home/ann/Mail/archive 2019.pst is processing.", "File Size(Bytes):  13984768",
                         "Total number of folders found in source pst file: 4"};
  for (const char* line : lines) run.AppendReportLine(line);
  run.AppendReportLine(top + "\\Inbox folder is processing....");
  run.AppendReportLine("Total number of emails in folder: 47");
  run.AppendReportLine("Number of duplicate items found: 5");
  run.AppendReportLine("Size of duplicate items found in Folder: 61 kb");
  run.AppendReportLine(top + "\\Sent Items folder is processing....");
  run.AppendReportLine("Total number of emails in folder: 14");
  run.SetButtons({true, false, false, false});
  run.SetProgressRange(0, 14);
  run.SetProgressPosition(9);
  run.SetProgressVisible(true);
  ok &= Save(run, out, "run_working");
  run.AppendReportLine("Number of duplicate items found: 2");
  run.AppendReportLine("Size of duplicate items found in Folder: 900 (bytes)");
  run.AppendReportLine("Total number of duplicate items found in PST:\t7");
  run.AppendReportLine("Total size of duplicate items found in PST:\t62 kb");
  run.AppendReportLine("Quillmere process completed successfully.");
  run.SetButtons({false, true, true, true});
  run.SetProgressVisible(false);
  ok &= Save(run, out, "run_done");
  return ok;
}
#endif

#ifdef QM_GALLERY_PREVIEW
// The preview page after loading each sample named, as the user first sees
// it: every folder ticked and open, the tree scrolled to the top. For
// outlook.pst also with a folder unticked and the non-Latin one selected.
bool SavePreviewPages(testing::ShellFixture& f, const QDir& out) {
  bool ok = true;
  store::LibpffSessionFactory sessions;
  gui::PlaceholderPage opener(gui::kMainWindowTemplate, "main", f.context, nullptr);
  for (const char* sample : {"enron", "outlook"}) {
    const std::string file = std::string(QM_SAMPLES_DIR) + "/" + sample + ".pst";
    if (!QFileInfo::exists(QString::fromStdString(file))) {
      std::printf("FAILED %s is missing\n", file.c_str());
      ok = false;
      continue;
    }
    f.settings.m_currentFile = file;
    preview::PreviewDlg page(f.context, &opener, sessions);
    page.WaitForWorker();
    ok &= Save(page, out, QStringLiteral("preview_%1").arg(sample));
    if (std::string(sample) != "outlook") continue;
    controls::CXHtmlTree& tree = page.Tree();
    const auto& model = tree.Model();
    for (controls::TreeItem item = model.GetChildItem(controls::kTreeRoot); item != controls::kNoItem;
         item = model.NextItemInOrder(item)) {
      const std::string& text = model.GetItemText(item);
      if (text == "Outbox") tree.SetItemCheck(item, false);
      if (text == "\xE6\x94\xB6\xE4\xBB\xB6\xE7\xAE\xB1") tree.SelectEnabledItem(item);
    }
    tree.horizontalScrollBar()->setValue(0);
    ok &= Save(page, out, "preview_outlook_unticked");
  }
  return ok;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(QM_GALLERY_DIR));
  out.mkpath(".");
  bool ok = true;

  testing::ShellFixture f;
  {
    gui::CQuillmereDlg main(f.context);
    ok &= Save(main, out, "main_window");

    // A filled list while a search runs: rows, the progress bar and Stop.
    QTemporaryDir files;
    const char* names[] = {"Archive 2019.pst", "inbox.pst", "Projects/clients.pst", "old/backup.PST"};
    auto* list = main.findChild<QTableWidget*>("1004");
    for (const char* name : names) {
      const QString path = files.filePath(name);
      QDir().mkpath(QFileInfo(path).path());
      std::ofstream(path.toStdString()) << std::string(271360 + 1024 * int(qstrlen(name)), 'x');
      const int row = list->rowCount();
      list->insertRow(row);
      list->setItem(row, 0, new QTableWidgetItem(path));
      list->setItem(row, 1, new QTableWidgetItem(QString::number(QFileInfo(path).size())));
    }
    list->selectRow(1);
    main.findChild<QLabel*>("1007")->setText("Total number of files: [4]");
    ok &= Save(main, out, "main_window_files");
    main.findChild<QProgressBar*>("1005")->setRange(0, 4);
    main.findChild<QProgressBar*>("1005")->setValue(2);
    main.findChild<QProgressBar*>("1005")->show();
    main.findChild<QPushButton*>("1006")->show();
    main.findChild<QLabel*>("1007")->setText(files.filePath(names[1]));
    ok &= Save(main, out, "main_window_working");
  }
  {
    gui::CQuillmereAboutDlg about(f.context, nullptr);
    ok &= Save(about, out, "about_box");
  }
  const struct {
    int id;
    const char* name;
  } frames[] = {{129, "preview"}};
  for (const auto& frame : frames) {
    gui::PlaceholderPage page(frame.id, frame.name, f.context, nullptr);
    ok &= Save(page, out, QStringLiteral("frame_%1").arg(frame.id));
  }
#ifdef QM_GALLERY_PREVIEW
  ok &= SavePreviewPages(f, out);
#endif
#ifdef QM_GALLERY_WIZARD
  ok &= SaveWizardPages(f, out);
#endif
  ok &= SaveArtworkSheet(out);
  return ok ? 0 : 1;
}
