#include "detect/run_request.h"

namespace quillmere::detect {

RunRequest MakeRunRequest(const RunSettings& s) {
  RunRequest request;
  request.scope = s.m_scope;
  request.criteria = s.m_criteria;
  request.dateRanges = s.m_dateRanges;
  request.addToProfile = s.m_addToProfile;
  if (!s.m_previewMode && !s.m_files.empty()) {
    // Entered through Process: every listed file, each with all its folders.
    for (const FileEntry& f : s.m_files) request.targets.push_back({f.path, f.sizeText, std::nullopt});
  } else {
    request.targets.push_back({s.m_currentFile, s.m_currentFileSize, s.m_selectedFolders});
  }
  return request;
}

}  // namespace quillmere::detect
