#include "cli/mkpst_generate.h"

#include <array>
#include <cstdlib>
#include <deque>
#include <vector>

namespace quillmere::cli {
namespace {

using pst::Message;
using pst::PropertyName;
using pst::ltp::PropValue;

class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
  uint64_t Next() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint64_t Below(uint64_t n) { return n ? Next() % n : 0; }
  uint64_t Between(uint64_t lo, uint64_t hi) { return hi <= lo ? lo : lo + Below(hi - lo + 1); }
  bool Chance(double p) { return double(Next() >> 11) / double(1ull << 53) < p; }

 private:
  uint64_t s_;
};

const char* const kLatinWords[] = {
    "meeting", "report", "budget", "project", "review", "schedule", "update", "invoice", "contract", "proposal",
    "agenda",  "minutes", "quarter", "forecast", "client", "delivery", "shipment", "design", "draft", "summary",
    "please",  "attached", "regards", "thanks", "tomorrow", "morning", "office", "travel", "approval", "team"};
const char* const kOtherWords[] = {
    "встреча", "отчёт",  "бюджет", "проект", "совещание", "σύσκεψη", "έκθεση", "προϋπολογισμός", "会议",  "报告",
    "预算",    "项目",   "会議",   "報告書", "予定",       "회의",    "보고서", "예산",          "اجتماع", "تقرير"};
const char* const kFirstNames[] = {"Alice", "Bruno", "Chen", "Dana", "Elif", "Farid", "Greta", "Hiro", "Ines", "Jonas"};
const char* const kLastNames[] = {"Moreau", "Silva", "Wang", "Whitfield", "Kaya", "Haddad", "Lind", "Sato", "Ruiz", "Berg"};

std::string Words(Rng& rng, size_t bytes, bool nonLatin) {
  std::string out;
  while (out.size() < bytes) {
    if (!out.empty()) out += rng.Below(12) == 0 ? ".\r\n" : " ";
    out += nonLatin && rng.Below(2) ? kOtherWords[rng.Below(std::size(kOtherWords))]
                                    : kLatinWords[rng.Below(std::size(kLatinWords))];
  }
  return out;
}

// Everything that makes one message, drawn from its own seed so that a
// duplicate can be drawn again later without keeping the first in memory.
Message MakeMessage(const GenerateOptions& o, uint64_t itemSeed, const std::vector<PropertyName>& names) {
  Rng rng(itemSeed);
  Message m;
  const bool nonLatin = rng.Chance(o.nonLatinShare);
  const size_t first = rng.Below(std::size(kFirstNames)), last = rng.Below(std::size(kLastNames));
  m.senderName = std::string(kFirstNames[first]) + " " + kLastNames[last];
  m.senderEmail = std::string(kFirstNames[first]) + "." + kLastNames[last] + "@example.com";
  for (char& c : m.senderEmail) c = char(std::tolower(static_cast<unsigned char>(c)));
  m.receivedByName = "Dana Whitfield";
  m.subject = Words(rng, rng.Between(12, 60), nonLatin);
  m.body = Words(rng, rng.Between(o.bodyMin, o.bodyMax), nonLatin);
  if (rng.Chance(0.3)) m.htmlBody = "<html><body><p>" + m.body.substr(0, 2000) + "</p></body></html>";
  m.submitTimeUtc = 1577836800 + int64_t(rng.Below(5ull * 365 * 86400));
  m.transportHeaders = "From: " + m.senderName + " <" + m.senderEmail + ">\r\nTo: Dana Whitfield <dana@example.com>\r\n" +
                       "Message-ID: <" + std::to_string(itemSeed) + "@example.com>\r\nX-Mailer: Quillmere Corpus\r\n";
  m.recipients.push_back({"Dana Whitfield", "dana@example.com", 1});
  if (rng.Chance(o.attachmentShare)) {
    const uint64_t count = rng.Between(1, 2);
    for (uint64_t i = 0; i < count; ++i) {
      pst::Attachment a;
      a.fileName = "file" + std::to_string(rng.Below(1000)) + (rng.Below(2) ? ".pdf" : ".txt");
      a.bytes.resize(rng.Between(256, o.attachmentMax));
      for (char& c : a.bytes) c = char(rng.Next());
      m.attachments.push_back(std::move(a));
    }
  }
  if (!names.empty()) {
    const uint64_t start = rng.Below(names.size());
    for (uint32_t k = 0; k < std::min<size_t>(o.namedPerMessage, names.size()); ++k) {
      const PropertyName& n = names[(start + k) % names.size()];
      switch ((n.lid + n.name.size()) % 4) {
        case 0: m.named.push_back({n, PropValue::Int32(int32_t(rng.Below(100000)))}); break;
        case 1: m.named.push_back({n, PropValue::Bool(rng.Below(2))}); break;
        case 2: m.named.push_back({n, PropValue::Time(*m.submitTimeUtc)}); break;
        default: m.named.push_back({n, PropValue::String(Words(rng, 12, false), o.format)}); break;
      }
    }
  }
  return m;
}

std::vector<PropertyName> NameMap(uint32_t size) {
  // Numeric names in the common and address sets and string names among the
  // Internet headers and the public strings, as mail clients leave them.
  std::vector<PropertyName> names;
  for (uint32_t i = 0; i < size; ++i) {
    switch (i % 4) {
      case 0: names.push_back({pst::kPsetidCommon, 0x8500 + i / 4, {}}); break;
      case 1: names.push_back({pst::kPsetidAddress, 0x8000 + i / 4, {}}); break;
      case 2: names.push_back({pst::kPsInternetHeaders, 0, "x-corpus-header-" + std::to_string(i / 4)}); break;
      default: names.push_back({pst::kPsPublicStrings, 0, "Keyword" + std::to_string(i / 4)}); break;
    }
  }
  return names;
}

bool ParseNumber(const std::string& text, uint64_t& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  double scale = 1;
  const std::string unit = end;
  if (unit == "K" || unit == "k") scale = 1024.0;
  else if (unit == "M") scale = 1024.0 * 1024;
  else if (unit == "G") scale = 1024.0 * 1024 * 1024;
  else if (!unit.empty()) return false;
  if (v < 0) return false;
  out = uint64_t(v * scale);
  return true;
}

}  // namespace

std::string ParseGenerateOption(GenerateOptions& o, const std::string& name, const std::string& value) {
  uint64_t n = 0;
  auto share = [&](double& field) -> std::string {
    char* end = nullptr;
    const double v = std::strtod(value.c_str(), &end);
    if (value.empty() || *end || v < 0 || v > 1) return name + " takes a share from 0 to 1";
    field = v;
    return {};
  };
  auto number = [&](auto& field) -> std::string {
    if (!ParseNumber(value, n)) return name + " takes a number";
    field = static_cast<std::remove_reference_t<decltype(field)>>(n);
    return {};
  };
  if (name == "--format") {
    if (value == "unicode") o.format = pst::FileFormat::kUnicode;
    else if (value == "ansi") o.format = pst::FileFormat::kAnsi;
    else if (value == "ost4k") o.format = pst::FileFormat::kUnicode4k;
    else return "--format takes unicode, ansi or ost4k";
    return {};
  }
  if (name == "--items") return number(o.items);
  if (name == "--size") return number(o.targetBytes);
  if (name == "--folders") return number(o.folders);
  if (name == "--depth") return number(o.depth);
  if (name == "--body-min") return number(o.bodyMin);
  if (name == "--body-max") return number(o.bodyMax);
  if (name == "--attachment-max") return number(o.attachmentMax);
  if (name == "--name-map") return number(o.nameMapSize);
  if (name == "--named-per-message") return number(o.namedPerMessage);
  if (name == "--seed") return number(o.seed);
  if (name == "--exact-duplicates") return share(o.exactShare);
  if (name == "--near-duplicates") return share(o.nearShare);
  if (name == "--attachments") return share(o.attachmentShare);
  if (name == "--non-latin") return share(o.nonLatinShare);
  return "unknown option " + name;
}

GenerateResult GenerateCorpus(const std::string& outPath, const GenerateOptions& o) {
  Rng rng(o.seed);
  pst::WriterOptions wo;
  wo.format = o.format;
  wo.displayName = "Quillmere Corpus " + std::to_string(o.seed);
  wo.recordKeySeed = o.seed;
  pst::PstWriter writer(outPath, wo);
  GenerateResult result;

  // Folders in chains of at most `depth` levels under the top folder.
  std::vector<pst::FolderId> folders;
  const uint32_t depth = std::max<uint32_t>(1, o.depth);
  for (uint32_t i = 0; i < std::max<uint32_t>(1, o.folders); ++i) {
    const pst::FolderId parent = i % depth == 0 ? writer.TopOfPersonalFolders() : folders.back();
    std::string name = "Folder " + std::to_string(i + 1);
    if (rng.Chance(o.nonLatinShare)) name = std::string(kOtherWords[rng.Below(std::size(kOtherWords))]) + " " + std::to_string(i + 1);
    folders.push_back(writer.AddFolder(parent, name));
  }
  result.folders = folders.size();

  const std::vector<PropertyName> names = NameMap(o.nameMapSize);
  std::deque<uint64_t> recent;  // seeds of recent originals, the duplicates' sources
  for (uint64_t i = 0;; ++i) {
    if (o.targetBytes ? writer.bytesWritten() >= o.targetBytes : i >= o.items) break;
    const pst::FolderId folder = folders[rng.Below(folders.size())];
    const double roll = double(rng.Next() >> 11) / double(1ull << 53);
    Message m;
    if (!recent.empty() && roll < o.exactShare) {
      m = MakeMessage(o, recent[rng.Below(recent.size())], names);
      ++result.exactDuplicates;
    } else if (!recent.empty() && roll < o.exactShare + o.nearShare) {
      m = MakeMessage(o, recent[rng.Below(recent.size())], names);
      Rng twist(rng.Next());
      // A near duplicate differs in one field the criteria look at.
      switch (twist.Below(4)) {
        case 0: m.body = Words(twist, m.body.size(), false); m.htmlBody.clear(); break;
        case 1: *m.submitTimeUtc += int64_t(twist.Between(60, 86400)); break;
        case 2: m.subject = Words(twist, m.subject.size(), false); break;
        default: m.senderEmail = "other." + m.senderEmail; break;
      }
      ++result.nearDuplicates;
    } else {
      const uint64_t seed = rng.Next();
      m = MakeMessage(o, seed, names);
      recent.push_back(seed);
      if (recent.size() > 256) recent.pop_front();
    }
    writer.AddMessage(folder, m);
    ++result.items;
  }
  writer.Finish();
  result.bytes = writer.bytesWritten();
  return result;
}

}  // namespace quillmere::cli
