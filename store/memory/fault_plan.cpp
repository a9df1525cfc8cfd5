#include "store/memory/fault_plan.h"

#include "store/store_error.h"

namespace quillmere::store {

void FaultPlan::Fail(std::string operation, Mode mode, std::string target) {
  std::lock_guard lock(m_mutex);
  m_entries.push_back({std::move(operation), std::move(target), mode});
}

void FaultPlan::Check(std::string_view operation, std::string_view target) {
  std::lock_guard lock(m_mutex);
  for (auto& e : m_entries) {
    if (e.spent || e.operation != operation || (!e.target.empty() && e.target != target)) continue;
    if (e.mode == Mode::kOnce) e.spent = true;
    ++e.raised;
    throw StoreError(std::string(operation) + " failed (planned) on " + std::string(target));
  }
}

int FaultPlan::Raised(std::string_view operation) const {
  std::lock_guard lock(m_mutex);
  int total = 0;
  for (const auto& e : m_entries)
    if (e.operation == operation) total += e.raised;
  return total;
}

}  // namespace quillmere::store
