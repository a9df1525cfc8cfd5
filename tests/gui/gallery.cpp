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
  } frames[] = {{129, "preview"}, {131, "search option"}, {132, "criteria"}, {133, "run"}};
  for (const auto& frame : frames) {
    gui::PlaceholderPage page(frame.id, frame.name, f.context, nullptr);
    ok &= Save(page, out, QStringLiteral("frame_%1").arg(frame.id));
  }
  ok &= SaveArtworkSheet(out);
  return ok ? 0 : 1;
}
