#include "detect/comparison_key.h"

namespace quillmere::detect {

Fingerprint FingerprintItem(store::MailItem& item, const ComparisonCriteria& criteria,
                            FingerprintHasher& hasher) {
  hasher.Begin();
  FeedComparisonKey(item, criteria, [&](std::string_view piece) { hasher.Update(piece); });
  return hasher.Finish();
}

std::string BuildComparisonKey(store::MailItem& item, const ComparisonCriteria& criteria) {
  std::string key;
  FeedComparisonKey(item, criteria, [&](std::string_view piece) { key.append(piece); });
  return key;
}

}  // namespace quillmere::detect
