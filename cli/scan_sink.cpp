#include "cli/scan_sink.h"

#include "app/app_texts.h"
#include "app/ole_date.h"
#include "detect/report.h"

namespace quillmere::cli {

namespace {

constexpr const char* kFolderProcessing = " folder is processing....";

nlohmann::ordered_json DuplicateJson(const detect::DuplicateRecord& d) {
  nlohmann::ordered_json j;
  j["itemId"] = d.itemId;
  j["subject"] = d.subject;
  j["sentDate"] = FormatDateLong(d.sentTime);
  j["size"] = d.size;
  j["repeatsItemId"] = d.originalItemId;
  j["repeatsFolder"] = d.originalFolderPath;
  return j;
}

}  // namespace

std::string OneLine(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return out;
}

ScanSink::ScanSink(bool listDuplicates, bool json, FILE* out, FILE* progress)
    : m_listDuplicates(listDuplicates), m_json(json), m_out(out), m_progress(progress) {}

void ScanSink::AppendReportLine(const std::string& text) {
  ClearProgress();
  m_report.push_back(text);
  if (!m_json) {
    std::fprintf(m_out, "%s\n", text.c_str());
    std::fflush(m_out);
  }
  const std::string suffix = kFolderProcessing;
  if (text.size() > suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0)
    m_folder = text.substr(0, text.size() - suffix.size());
}

void ScanSink::SetProgressRange(int64_t, int64_t high) { m_progressHigh = high; }

void ScanSink::SetProgressPosition(int64_t position) {
  if (!m_progress || m_progressHigh <= 0) return;
  std::string name = m_folder;
  if (const auto slash = name.rfind('\\'); slash != std::string::npos) name = name.substr(slash + 1);
  std::fprintf(m_progress, "\r\033[K%s: %lld/%lld", OneLine(name).c_str(), static_cast<long long>(position),
               static_cast<long long>(m_progressHigh));
  std::fflush(m_progress);
  m_progressShown = true;
}

void ScanSink::SetProgressVisible(bool visible) {
  if (!visible) ClearProgress();
}

void ScanSink::ClearProgress() {
  if (!m_progress || !m_progressShown) return;
  std::fprintf(m_progress, "\r\033[K");
  std::fflush(m_progress);
  m_progressShown = false;
}

void ScanSink::ShowMessage(const std::string& text) {
  // The closing line already says it.
  if (text == kCompletedText) return;
  ClearProgress();
  std::fprintf(stderr, "quillmere-cli: %s\n", text.c_str());
}

void ScanSink::OnDuplicate(const detect::DuplicateRecord& record) { m_pending.push_back(record); }

void ScanSink::OnFolderDone(const detect::FolderOutcome& o) {
  if (m_listDuplicates && !m_json) {
    if (!o.reached) {
      std::fprintf(m_out, "\tfolder not found in the file\n");
    } else {
      std::fprintf(m_out, "\titems in folder: %d, read: %lld, skipped: %lld%s\n", o.itemCount,
                   static_cast<long long>(o.itemsRead), static_cast<long long>(o.itemsSkipped),
                   o.completed ? "" : ", scan ended early by a read error");
      for (const auto& d : m_pending)
        std::fprintf(m_out, "\tduplicate %s \"%s\" %s repeats %s in %s\n", d.itemId.c_str(),
                     OneLine(d.subject).c_str(), FormatDateLong(d.sentTime).c_str(), d.originalItemId.c_str(),
                     d.originalFolderPath.c_str());
    }
    std::fflush(m_out);
  }
  if (!m_files.empty()) {
    nlohmann::ordered_json f;
    f["path"] = o.path;
    f["reached"] = o.reached;
    f["completed"] = o.completed;
    f["itemCount"] = o.itemCount;
    f["itemsRead"] = o.itemsRead;
    f["itemsSkipped"] = o.itemsSkipped;
    f["duplicates"] = o.duplicates;
    f["duplicateSize"] = o.duplicateSize;
    f["duplicateList"] = nlohmann::ordered_json::array();
    for (const auto& d : m_pending) f["duplicateList"].push_back(DuplicateJson(d));
    auto& file = m_files.back();
    file["folders"].push_back(std::move(f));
    if (o.completed) {
      file["duplicates"] = file["duplicates"].get<uint64_t>() + static_cast<uint64_t>(o.duplicates);
      file["duplicateSize"] = file["duplicateSize"].get<uint64_t>() + o.duplicateSize;
    }
  }
  m_pending.clear();
}

void ScanSink::OnFileStart(const std::string& path, const std::string& readerName) {
  m_file = path;
  nlohmann::ordered_json f;
  f["path"] = path;
  f["opened"] = true;
  f["reader"] = readerName;
  f["foldersUnreadable"] = 0;
  f["duplicates"] = uint64_t{0};
  f["duplicateSize"] = uint64_t{0};
  f["folders"] = nlohmann::ordered_json::array();
  m_files.push_back(std::move(f));
}

// A damaged hierarchy loses whole folders; that must not pass for a clean run.
void ScanSink::OnFoldersUnreadable(int32_t places) {
  ClearProgress();
  std::fprintf(stderr,
               "quillmere-cli: %s: %d part(s) of the folder tree could not be read; the folders below them "
               "are not in the report\n",
               m_file.c_str(), places);
  if (m_listDuplicates && !m_json) {
    std::fprintf(m_out, "\tfolder tree places that could not be read: %d\n", places);
    std::fflush(m_out);
  }
  if (!m_files.empty()) m_files.back()["foldersUnreadable"] = places;
}

void ScanSink::OnFileFailed(const std::string& path) {
  nlohmann::ordered_json f;
  f["path"] = path;
  f["opened"] = false;
  m_files.push_back(std::move(f));
}

nlohmann::ordered_json ScanSink::Document(const detect::RunTotals& totals) const {
  nlohmann::ordered_json doc;
  doc["files"] = m_files;
  for (auto& file : doc["files"])
    if (file.contains("duplicateSize"))
      file["duplicateSizeText"] = detect::FormatDuplicateSize(file["duplicateSize"].get<uint64_t>());
  doc["totalDuplicates"] = totals.duplicates;
  doc["totalDuplicateSize"] = totals.duplicateSize;
  doc["totalDuplicateSizeText"] = detect::FormatDuplicateSize(totals.duplicateSize);
  doc["filesFailed"] = totals.filesFailed;
  doc["stopped"] = totals.stopped;
  doc["report"] = m_report;
  return doc;
}

}  // namespace quillmere::cli
