#pragma once
// The one record through which the wizard pages hand their choices to each
// other and to the duplicate search. Exactly one instance lives in the
// application object; every start begins from these defaults.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/ole_date.h"

namespace quillmere {

class RunLog;

struct DateRange {
  OleDate start;
  OleDate end;
};

struct FileEntry {
  std::string path;
  std::string sizeText;
};

struct FolderRecord {
  std::string path;
  int32_t itemCount = 0;
  std::string name;
};

// The fields that make two items equal, in the order they join the key.
struct ComparisonCriteria {
  int32_t text = 0;
  int32_t subject = 0;
  int32_t senderEmail = 0;
  int32_t senderName = 0;
  int32_t receiverName = 0;
  int32_t internetHeader = 0;
  int32_t sentTime = 0;
  int32_t attachments = 0;

  bool Any() const {
    return text == 1 || subject == 1 || senderEmail == 1 || senderName == 1 || receiverName == 1 ||
           internetHeader == 1 || sentTime == 1 || attachments == 1;
  }
  friend bool operator==(const ComparisonCriteria&, const ComparisonCriteria&) = default;
};

struct RunSettings {
  std::vector<DateRange> m_dateRanges;
  std::shared_ptr<RunLog> m_logFile;
  std::string m_logFilePath;
  std::vector<FolderRecord> m_folders;
  std::vector<FileEntry> m_files;
  std::string m_currentFile;
  ComparisonCriteria m_criteria;
  int32_t m_action = 0;
  std::string m_criteriaText;
  std::string m_actionText;
  std::string m_subfolderName;
  int32_t m_scope = 0;
  std::string m_newPstFolder;
  int32_t m_outputMode = 0;
  int32_t m_addToProfile = 0;
  bool m_previewMode = false;
  std::vector<std::string> m_selectedFolders;
  std::string m_currentFileSize;
};

}  // namespace quillmere
