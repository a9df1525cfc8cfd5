// Item reads over libpff. A failing read raises StoreError; a property the
// item does not have reads as the empty text (or an invalid date, or 0).
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "app/utf.h"
#include "store/libpff/libpff_objects.h"

namespace quillmere::store::libpff {

namespace {

constexpr uint32_t kMessageClass = 0x001A;
constexpr uint32_t kSubject = 0x0037;
constexpr uint32_t kReceivedByName = 0x0040;
constexpr uint32_t kTransportHeaders = 0x007D;
constexpr uint32_t kSenderName = 0x0C1A;
constexpr uint32_t kSenderEmailAddress = 0x0C1F;
constexpr uint32_t kMessageSize = 0x0E08;

// FILETIME: 100-nanosecond ticks since 1601-01-01 UTC.
constexpr int64_t kFiletimeTicksPerSecond = 10'000'000;
constexpr int64_t kSecondsFrom1601To1970 = 11'644'473'600;

template <class SizeCall, class ReadCall>
std::string ReadBody(SizeCall&& sizeCall, ReadCall&& readCall, bool bytes) {
  ErrorSlot error;
  size_t size = 0;
  if (!error.Found(sizeCall(&size, error.Out()), "reading the item's body") || size == 0) return "";
  std::vector<uint8_t> buffer(size, 0);
  if (!error.Found(readCall(buffer.data(), buffer.size(), error.Out()), "reading the item's body")) return "";
  if (bytes) return BytesAsText(buffer.data(), buffer.size());
  buffer.back() = 0;
  return std::string(reinterpret_cast<const char*>(buffer.data()));
}

class Item : public MailItem {
 public:
  explicit Item(std::shared_ptr<Node> node) : m_node(std::move(node)) {}

  std::string GetItemClass() override { return Text(kMessageClass); }
  OleDate GetSentTime() override {
    ErrorSlot error;
    uint64_t filetime = 0;
    if (!error.Found(libpff_message_get_client_submit_time(Raw(), &filetime, error.Out()),
                     "reading the item's sent time"))
      return OleDate();
    const int64_t seconds =
        static_cast<int64_t>(filetime / kFiletimeTicksPerSecond) - kSecondsFrom1601To1970;
    return OleDate::FromUnixUtc(seconds);
  }
  std::string GetBodyText() override {
    return ReadBody([&](size_t* size, libpff_error_t** e) { return libpff_message_get_plain_text_body_size(Raw(), size, e); },
                    [&](uint8_t* data, size_t size, libpff_error_t** e) {
                      return libpff_message_get_plain_text_body(Raw(), data, size, e);
                    },
                    false);
  }
  // The HTML body, read as text.
  std::string GetAlternateBodyText() override {
    return ReadBody([&](size_t* size, libpff_error_t** e) { return libpff_message_get_html_body_size(Raw(), size, e); },
                    [&](uint8_t* data, size_t size, libpff_error_t** e) {
                      return libpff_message_get_html_body(Raw(), data, size, e);
                    },
                    true);
  }
  std::string GetSubject() override { return StripSubjectPrefixMarker(Text(kSubject)); }
  std::string GetSenderEmailAddress() override { return Text(kSenderEmailAddress); }
  std::string GetSenderName() override { return Text(kSenderName); }
  std::string GetReceiverName() override { return Text(kReceivedByName); }
  std::string ReadInternetHeader() override {
    try {
      return Text(kTransportHeaders);
    } catch (const StoreError&) {
      return "";
    }
  }
  std::string GetItemId() override {
    ErrorSlot error;
    uint32_t identifier = 0;
    if (libpff_item_get_identifier(Raw(), &identifier, error.Out()) != 1)
      error.Raise("reading the item's identifier");
    char text[16];
    std::snprintf(text, sizeof text, "%08" PRIX32, identifier);
    return text;
  }
  int32_t GetSize() override { return static_cast<int32_t>(ReadItem32(Raw(), kMessageSize).value_or(0)); }

 protected:
  int32_t DoGetAttachmentCount() override {
    ErrorSlot error;
    int count = 0;
    if (libpff_message_get_number_of_attachments(Raw(), &count, error.Out()) != 1)
      error.Raise("counting the item's attachments");
    return count;
  }

 private:
  libpff_item_t* Raw() const { return m_node->item.get(); }
  std::string Text(uint32_t entryType) { return ReadMessageString(Raw(), entryType).value_or(""); }

  // A stored subject may begin with U+0001 and one character giving the
  // length of its prefix ("RE: "); the subject as the user sees it has
  // neither.
  static std::string StripSubjectPrefixMarker(std::string subject) {
    if (subject.size() >= 2 && subject[0] == '\x01') {
      size_t next = 1;
      const auto lead = static_cast<unsigned char>(subject[next]);
      size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
      subject.erase(0, std::min(subject.size(), next + length));
    }
    return subject;
  }

  std::shared_ptr<Node> m_node;
};

}  // namespace

std::unique_ptr<MailItem> MakeItem(std::shared_ptr<Node> node) { return std::make_unique<Item>(std::move(node)); }

}  // namespace quillmere::store::libpff
