#include "detect/report.h"

#include <cinttypes>
#include <cstdio>

#include "app/run_log.h"

namespace quillmere::detect {

void Reporter::AddReportLine(const std::string& text) {
  m_sink.AppendReportLine(text);
  if (m_log != nullptr) m_log->WriteLogLine(text);
}

std::string FormatDuplicateSize(uint64_t bytes) {
  char text[48];
  if (bytes < 1024)
    std::snprintf(text, sizeof text, "%" PRIu64 " (bytes)", bytes);
  else
    std::snprintf(text, sizeof text, "%" PRIu64 " kb", bytes / 1024);
  return text;
}

}  // namespace quillmere::detect
