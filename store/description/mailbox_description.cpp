#include "store/description/mailbox_description.h"

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

#include "app/ole_date.h"

namespace quillmere::store {
namespace {

using nlohmann::json;

std::string Text(const json& node, const char* key, const std::string& fallback = "") {
  if (!node.contains(key)) return fallback;
  if (!node[key].is_string()) throw std::runtime_error(std::string("\"") + key + "\" must be a text");
  return node[key].get<std::string>();
}

int64_t Number(const json& node, const char* key, int64_t fallback) {
  if (!node.contains(key)) return fallback;
  if (!node[key].is_number_integer())
    throw std::runtime_error(std::string("\"") + key + "\" must be a whole number");
  return node[key].get<int64_t>();
}

AttachmentDescription ParseAttachment(const json& node) {
  AttachmentDescription a;
  a.fileName = Text(node, "fileName", "attachment.bin");
  a.bytes = Text(node, "bytes");
  if (node.contains("size")) a.size = static_cast<uint64_t>(Number(node, "size", 0));
  return a;
}

ItemDescription ParseItem(const json& node) {
  if (!node.is_object()) throw std::runtime_error("an item must be an object");
  ItemDescription item;
  item.messageClass = Text(node, "messageClass", item.messageClass);
  item.subject = Text(node, "subject");
  item.senderEmail = Text(node, "senderEmail");
  item.senderName = Text(node, "senderName");
  item.receivedByName = Text(node, "receivedByName");
  item.body = Text(node, "body");
  item.htmlBody = Text(node, "htmlBody");
  item.transportHeaders = Text(node, "transportHeaders");
  if (node.contains("sentTime")) {
    const std::string text = Text(node, "sentTime");
    item.sentTimeUtc = ParseUtcTimestamp(text);
    if (!item.sentTimeUtc) throw std::runtime_error("\"sentTime\" is not a date: " + text);
  }
  item.sizeHint = static_cast<int32_t>(Number(node, "size", 0));
  item.copies = static_cast<int32_t>(Number(node, "copies", 1));
  if (item.copies < 1) throw std::runtime_error("\"copies\" must be 1 or more");
  if (node.contains("attachments")) {
    for (const auto& a : node["attachments"]) item.attachments.push_back(ParseAttachment(a));
  }
  return item;
}

FolderDescription ParseFolder(const json& node) {
  if (!node.is_object()) throw std::runtime_error("a folder must be an object");
  FolderDescription folder;
  folder.name = Text(node, "name");
  if (folder.name.empty()) throw std::runtime_error("a folder needs a \"name\"");
  folder.containerClass = Text(node, "containerClass", folder.containerClass);
  if (node.contains("items"))
    for (const auto& i : node["items"]) folder.items.push_back(ParseItem(i));
  if (node.contains("folders"))
    for (const auto& f : node["folders"]) folder.folders.push_back(ParseFolder(f));
  return folder;
}

}  // namespace

std::optional<int64_t> ParseUtcTimestamp(const std::string& text) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  char tail = 0;
  int n = std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail);
  if (n < 3) return std::nullopt;
  if (n == 3) h = mi = s = 0;
  else if (n < 6) return std::nullopt;
  if (n == 7 && tail != 'Z') return std::nullopt;
  if (mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo) || h > 23 || mi > 59 || s > 59)
    return std::nullopt;
  const int64_t unixDays = DaysFromCivil(y, mo, d) - 25569;
  return unixDays * 86400 + h * 3600 + mi * 60 + s;
}

MailboxDescription ParseMailboxDescription(const std::string& jsonText) {
  json root;
  try {
    root = json::parse(jsonText);
  } catch (const json::parse_error& e) {
    throw std::runtime_error(std::string("not valid JSON: ") + e.what());
  }
  if (!root.is_object()) throw std::runtime_error("the description must be a JSON object");
  MailboxDescription box;
  const std::string format = Text(root, "format", "unicode");
  if (format == "unicode") box.format = PstFormat::kUnicode;
  else if (format == "ansi") box.format = PstFormat::kAnsi;
  else if (format == "ost4k") box.format = PstFormat::kUnicode4k;
  else throw std::runtime_error("\"format\" must be \"unicode\", \"ansi\" or \"ost4k\"");
  box.displayName = Text(root, "displayName", box.displayName);
  if (root.contains("folders"))
    for (const auto& f : root["folders"]) box.folders.push_back(ParseFolder(f));
  return box;
}

MailboxDescription LoadMailboxDescription(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return ParseMailboxDescription(text.str());
}

}  // namespace quillmere::store
