#pragma once
// Report lines reach the screen and the run log in the same words.
#include <cstdint>
#include <string>

#include "detect/run_sink.h"

namespace quillmere {
class RunLog;
}

namespace quillmere::detect {

class Reporter {
 public:
  Reporter(RunSink& sink, RunLog* log) : m_sink(sink), m_log(log) {}
  void AddReportLine(const std::string& text);
  RunSink& Sink() { return m_sink; }

 private:
  RunSink& m_sink;
  RunLog* m_log;
};

// Below 1024: the bytes and " (bytes)"; from 1024: whole kilobytes and " kb".
std::string FormatDuplicateSize(uint64_t bytes);

}  // namespace quillmere::detect
