#pragma once
#include <cstdio>

#include "app/utf.h"

namespace quillmere::detect {

template <class Feed>
void FeedComparisonKey(store::MailItem& item, const ComparisonCriteria& c, Feed&& feed) {
  if (c.text == 1) {
    if (!item.FeedBodyText([&](std::string_view piece) { feed(piece); }))
      feed(std::string_view(item.GetAlternateBodyText()));
  }
  if (c.subject == 1) {
    const std::string subject = item.GetSubject();
    feed(TrimWhiteSpace(subject));
  }
  if (c.senderEmail == 1) feed(std::string_view(item.GetSenderEmailAddress()));
  if (c.senderName == 1) feed(std::string_view(item.GetSenderName()));
  if (c.receiverName == 1) feed(std::string_view(item.GetReceiverName()));
  if (c.internetHeader == 1) feed(std::string_view(item.ReadInternetHeader()));
  if (c.sentTime == 1) feed(std::string_view(FormatDateLong(item.GetSentTime())));
  if (c.attachments == 1) {
    const int32_t count = item.GetAttachmentCount();
    if (count > 0) {
      char text[16];
      std::snprintf(text, sizeof text, "%d", count);
      feed(std::string_view(text));
    }
  }
}

}  // namespace quillmere::detect
