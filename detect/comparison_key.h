#pragma once
// The comparison key of an item: the texts of the chosen fields, in the
// criteria's order, with nothing between them. It is fed to the hasher piece
// by piece and never kept.
#include <string>
#include <string_view>

#include "app/run_settings.h"
#include "detect/fingerprint.h"
#include "store/mail_store.h"

namespace quillmere::detect {

// Hands each piece of the key to `feed`, in order. Item reads may raise.
template <class Feed>
void FeedComparisonKey(store::MailItem& item, const ComparisonCriteria& criteria, Feed&& feed);

Fingerprint FingerprintItem(store::MailItem& item, const ComparisonCriteria& criteria,
                            FingerprintHasher& hasher);
// The whole key as one text, for explaining a result.
std::string BuildComparisonKey(store::MailItem& item, const ComparisonCriteria& criteria);

}  // namespace quillmere::detect

#include "detect/comparison_key_impl.h"
