#include "platform/qt/qt_adapters.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

namespace quillmere::platform::qt {
namespace {

QWidget* OwnerWidget(const void* owner) {
  return static_cast<QWidget*>(const_cast<void*>(owner));
}

QString ToQt(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

PromptAnswer QtPrompter::Ask(const Prompt& prompt) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  if (prompt.icon == PromptIcon::Information) icon = QMessageBox::Information;
  if (prompt.icon == PromptIcon::Question) icon = QMessageBox::Question;
  const bool question = prompt.buttons == PromptButtons::YesNo;
  QMessageBox box(icon, ToQt(prompt.caption), ToQt(prompt.text),
                  question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                  OwnerWidget(prompt.owner));
  if (question) {
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  }
  const int result = box.exec();
  if (!question) return PromptAnswer::Ok;
  return result == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
}

std::optional<std::vector<std::string>> QtFileDialogs::OpenFiles(const OpenFilesRequest& request) {
  QFileDialog dialog(OwnerWidget(request.owner), ToQt(request.title));
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix(ToQt(request.defaultSuffix));
  dialog.setNameFilter(ToQt(request.filterName + " (" + request.pattern + ")"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  std::vector<std::string> names;
  for (const QString& name : dialog.selectedFiles()) names.push_back(name.toStdString());
  return names;
}

std::optional<std::string> QtFileDialogs::BrowseFolder(const BrowseFolderRequest& request) {
  const QString folder = QFileDialog::getExistingDirectory(
      OwnerWidget(request.owner), ToQt(request.title), ToQt(request.startFolder),
      QFileDialog::ShowDirsOnly);
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) return std::nullopt;
  return folder.toStdString();
}

bool QtUrlOpener::Open(const std::string& url, const void*) {
  return QDesktopServices::openUrl(QUrl(ToQt(url)));
}

}  // namespace quillmere::platform::qt
