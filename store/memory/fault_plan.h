#pragma once
// Planned failures for the in-memory store: an operation, optionally on one
// target (a file or folder path, or an item's subject), fails once or always.
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere::store {

class FaultPlan {
 public:
  enum class Mode { kOnce, kAlways };

  void Fail(std::string operation, Mode mode, std::string target = "");
  // Raises StoreError when a planned fault matches.
  void Check(std::string_view operation, std::string_view target);
  // How often planned faults of this operation were raised.
  int Raised(std::string_view operation) const;

 private:
  struct Entry {
    std::string operation;
    std::string target;
    Mode mode;
    bool spent = false;
    int raised = 0;
  };
  mutable std::mutex m_mutex;
  std::vector<Entry> m_entries;
};

}  // namespace quillmere::store
