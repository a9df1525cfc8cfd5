#pragma once
// The single-instance lock: taken before anything else at start-up and held
// for the whole life of the process.
#include <string>

namespace quillmere::platform {

enum class LockResult {
  Acquired,          // this is the only running instance
  AlreadyRunning,    // another running instance holds the lock
  Failed,            // the lock could not be made; the start goes on
};

class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  virtual LockResult Acquire() = 0;
};

// An exclusive advisory lock (flock) on a file named after the lock's name,
// in $XDG_RUNTIME_DIR (else the temporary folder). The lock dies with the
// process, so a crashed instance never blocks the next start.
class FlockInstanceLock final : public InstanceLock {
 public:
  // `folder` empty: $XDG_RUNTIME_DIR, else $TMPDIR, else /tmp.
  explicit FlockInstanceLock(std::string name, std::string folder = "");
  ~FlockInstanceLock() override;
  FlockInstanceLock(const FlockInstanceLock&) = delete;
  FlockInstanceLock& operator=(const FlockInstanceLock&) = delete;

  LockResult Acquire() override;
  const std::string& FilePath() const { return m_filePath; }

  // "Global\{VELMORAQUILLMERE}" becomes "Global_{VELMORAQUILLMERE}.lock":
  // every character that is not a letter, digit, brace, dot or hyphen becomes "_".
  static std::string FileNameFor(const std::string& name);

 private:
  std::string m_filePath;
  int m_fd = -1;
};

}  // namespace quillmere::platform
