#pragma once
// What one duplicate search examines and how.
#include <optional>
#include <string>
#include <vector>

#include "app/run_settings.h"

namespace quillmere::detect {

struct RunTarget {
  std::string path;
  std::string sizeText;  // as the file list shows it
  // The folder path texts to scan in order; none: every folder of the file
  // in walk order (depth-first, root first).
  std::optional<std::vector<std::string>> folders;
};

struct RunRequest {
  std::vector<RunTarget> targets;
  int32_t scope = 0;  // 1 within each folder, 2 (or anything else) across a file
  ComparisonCriteria criteria;
  std::vector<DateRange> dateRanges;
  int32_t addToProfile = 0;
};

// The preview route: m_currentFile with m_selectedFolders. The Process
// route: every file of m_files with all its folders.
RunRequest MakeRunRequest(const RunSettings& settings);

}  // namespace quillmere::detect
