#pragma once
// The run log: one UTF-16LE text file per start, with a byte-order mark, a
// line of 149 asterisks and an empty line, then one CR LF-ended line per call.
#include <mutex>
#include <string>
#include <string_view>

#include "app/ole_date.h"

namespace quillmere {

class RunLog {
 public:
  RunLog() = default;
  ~RunLog();
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // "VelmoraQuillmere_log_" + day-month-year-hour-minute-second, unpadded, + ".txt".
  static std::string MakeFileName(const CivilDateTime& now);
  // The folder (with one "/" added when it has none at its end) and the file name.
  static std::string MakePath(const std::string& folder, const CivilDateTime& now);

  // Creates the folder when missing, creates or truncates the file, takes an
  // exclusive lock on it and writes the header. False when any step fails;
  // Path() still gives the path then.
  bool Create(const std::string& path);
  bool IsOpen() const { return m_fd >= 0; }
  const std::string& Path() const { return m_path; }

  // Appends the text and CR LF in one write, so lines from two threads never
  // interleave. Does nothing while the log is not open.
  void WriteLogLine(std::string_view utf8Text);

 private:
  std::mutex m_mutex;
  std::string m_path;
  int m_fd = -1;
};

}  // namespace quillmere
