// quillmere-cli mkpst: writes a PST file from a mailbox description, or a
// generated corpus for benchmarks.
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "cli/commands.h"
#include "cli/mkpst_generate.h"
#include "pst/messaging/pst_writer.h"
#include "store/description/mailbox_description.h"

namespace quillmere::cli {
namespace {

void PrintMkpstUsage(FILE* to) {
  std::fprintf(to,
               "usage: quillmere-cli mkpst SPEC.json OUT.pst\n"
               "       quillmere-cli mkpst --generate [options] OUT.pst\n\n"
               "SPEC.json describes the folders and items (see README, \"Describing a mailbox\").\n"
               "--generate options (defaults in brackets):\n"
               "  --items N               messages to write [1000]\n"
               "  --size BYTES            write messages until the file reaches BYTES (K, M, G allowed)\n"
               "  --folders N --depth N   folders, in chains of at most N levels [10, 3]\n"
               "  --body-min B --body-max B   body size range in bytes [200, 4000]\n"
               "  --exact-duplicates P    share of exact duplicates, 0 to 1 [0.1]\n"
               "  --near-duplicates P     share of near duplicates (one field differs) [0.1]\n"
               "  --attachments P         share of messages with attachments [0.2]\n"
               "  --attachment-max B      largest attachment [65536]\n"
               "  --non-latin P           share of non-Latin subjects, bodies and folder names [0.1]\n"
               "  --name-map N            distinct named properties [400]\n"
               "  --named-per-message N   named properties on each message [30]\n"
               "  --format unicode|ansi|ost4k\n"
               "                          ost4k: 4 KB pages, compressed blocks [unicode]\n"
               "  --seed N                the same options and seed make the same bytes [1]\n");
}

std::string GeneratedBytes(const store::AttachmentDescription& a) {
  std::string out(*a.size, '\0');
  uint32_t x = 2166136261u;
  for (char c : a.fileName) x = (x ^ uint8_t(c)) * 16777619u;
  for (char& c : out) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = char(x);
  }
  return out;
}

pst::Message ToMessage(const store::ItemDescription& item) {
  pst::Message m;
  m.messageClass = item.messageClass;
  m.subject = item.subject;
  m.senderEmail = item.senderEmail;
  m.senderName = item.senderName;
  m.receivedByName = item.receivedByName;
  m.body = item.body;
  m.htmlBody = item.htmlBody;
  m.transportHeaders = item.transportHeaders;
  m.submitTimeUtc = item.sentTimeUtc;
  m.sizeHint = item.sizeHint;
  for (const auto& a : item.attachments)
    m.attachments.push_back({a.fileName, a.size && a.bytes.empty() ? GeneratedBytes(a) : a.bytes});
  return m;
}

void WriteFolder(pst::PstWriter& w, pst::FolderId parent, const store::FolderDescription& f, bool topLevel) {
  // "Deleted Items" is one of the folders every file has; a description
  // that names it at the top fills that one.
  const pst::FolderId id = topLevel && f.name == "Deleted Items" ? w.DeletedItems() : w.AddFolder(parent, f.name, f.containerClass);
  for (const auto& item : f.items) {
    const pst::Message m = ToMessage(item);
    for (int32_t i = 0; i < item.copies; ++i) w.AddMessage(id, m);
  }
  for (const auto& sub : f.folders) WriteFolder(w, id, sub, false);
}

int RunGenerate(const std::vector<std::string>& args) {
  GenerateOptions o;
  std::string out;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i].rfind("--", 0) == 0) {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "quillmere-cli mkpst: %s needs a value\n", args[i].c_str());
        return kExitUsage;
      }
      const std::string error = ParseGenerateOption(o, args[i], args[i + 1]);
      if (!error.empty()) {
        std::fprintf(stderr, "quillmere-cli mkpst: %s\n", error.c_str());
        return kExitUsage;
      }
      ++i;
    } else if (out.empty()) {
      out = args[i];
    } else {
      std::fprintf(stderr, "quillmere-cli mkpst: more than one output file\n");
      return kExitUsage;
    }
  }
  if (out.empty()) {
    PrintMkpstUsage(stderr);
    return kExitUsage;
  }
  if (o.bodyMax < o.bodyMin) {
    std::fprintf(stderr, "quillmere-cli mkpst: --body-max is below --body-min\n");
    return kExitUsage;
  }
  const auto start = std::chrono::steady_clock::now();
  try {
    const GenerateResult r = GenerateCorpus(out, o);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %llu items (%llu exact, %llu near duplicates) in %llu folders, %llu bytes, %.2f s\n", out.c_str(),
                (unsigned long long)r.items, (unsigned long long)r.exactDuplicates,
                (unsigned long long)r.nearDuplicates, (unsigned long long)r.folders, (unsigned long long)r.bytes,
                seconds);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quillmere-cli mkpst: %s\n", e.what());
    std::remove(out.c_str());
    return kExitFileNotOpened;
  }
  return kExitDone;
}

}  // namespace

int RunMkpstCommand(const std::vector<std::string>& args) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    PrintMkpstUsage(stdout);
    return kExitDone;
  }
  if (!args.empty() && args[0] == "--generate") return RunGenerate(args);
  if (args.size() != 2) {
    PrintMkpstUsage(stderr);
    return kExitUsage;
  }
  store::MailboxDescription box;
  try {
    box = store::LoadMailboxDescription(args[0]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quillmere-cli mkpst: %s: %s\n", args[0].c_str(), e.what());
    return kExitUsage;
  }
  try {
    pst::WriterOptions o;
    o.format = box.format == store::PstFormat::kAnsi        ? pst::FileFormat::kAnsi
               : box.format == store::PstFormat::kUnicode4k ? pst::FileFormat::kUnicode4k
                                                            : pst::FileFormat::kUnicode;
    o.displayName = box.displayName;
    pst::PstWriter w(args[1], o);
    for (const auto& f : box.folders) WriteFolder(w, w.TopOfPersonalFolders(), f, true);
    w.Finish();
  } catch (const std::exception& e) {
    // A half-written file is no PST file: leave none behind.
    std::fprintf(stderr, "quillmere-cli mkpst: %s: %s\n", args[1].c_str(), e.what());
    std::remove(args[1].c_str());
    return kExitFileNotOpened;
  }
  return kExitDone;
}

}  // namespace quillmere::cli
