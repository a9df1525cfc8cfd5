#include "cli/scan_options.h"

#include <cstdio>
#include <sstream>

#include "options/date_rules.h"

namespace quillmere::cli {

namespace {

constexpr const char* kPeriodNames[options::kDatePeriodCount] = {
    "all-time",      "last-week",     "last-2-weeks",  "last-3-weeks", "last-month", "last-3-months",
    "last-6-months", "last-9-months", "last-year",     "last-2-years", "last-3-years"};

struct CriterionName {
  const char* name;
  int32_t ComparisonCriteria::*flag;
};
constexpr CriterionName kCriteria[] = {
    {"text", &ComparisonCriteria::text},
    {"subject", &ComparisonCriteria::subject},
    {"sender-email", &ComparisonCriteria::senderEmail},
    {"sender-name", &ComparisonCriteria::senderName},
    {"receiver-name", &ComparisonCriteria::receiverName},
    {"internet-header", &ComparisonCriteria::internetHeader},
    {"sent-time", &ComparisonCriteria::sentTime},
    {"attachments", &ComparisonCriteria::attachments},
};

std::optional<ComparisonCriteria> ParseCriteria(const std::string& list, std::string& error) {
  ComparisonCriteria criteria;
  std::stringstream in(list);
  std::string name;
  bool any = false;
  while (std::getline(in, name, ',')) {
    bool known = false;
    for (const auto& c : kCriteria)
      if (name == c.name) {
        criteria.*c.flag = 1;
        known = any = true;
      }
    if (!known) {
      error = "unknown criterion '" + name + "'";
      return std::nullopt;
    }
  }
  if (!any) {
    error = "--criteria needs at least one criterion";
    return std::nullopt;
  }
  return criteria;
}

// YYYY-MM-DD, a real calendar date, at midnight.
std::optional<OleDate> ParseDate(const std::string& text) {
  int year = 0, month = 0, day = 0;
  char tail = 0;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
      std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &tail) != 3)
    return std::nullopt;
  for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u})
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  if (year < 100 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  return OleDate::FromCivil({year, month, day, 0, 0, 0});
}

}  // namespace

bool IsReaderName(const std::string& name) { return name == "fast" || name == "libpff"; }

const char* PeriodOptionName(int period) {
  return period >= 0 && period < options::kDatePeriodCount ? kPeriodNames[period] : "";
}

std::string ScanUsageText() {
  std::string text =
      "usage: quillmere-cli scan [options] FILE...\n"
      "Finds duplicate items in PST files and prints the report as the run page shows it.\n"
      "\n"
      "options:\n"
      "  --criteria LIST     fields that make two items the same, comma-separated, from:\n"
      "                      text, subject, sender-email, sender-name, receiver-name,\n"
      "                      internet-header, sent-time, attachments\n"
      "                      (default: subject,sender-email,attachments)\n"
      "  --scope folder|file duplicates within each folder (default) or across the whole file\n"
      "  --period NAME       only items sent within a period:\n";
  for (int p = 0; p < options::kDatePeriodCount; ++p)
    text += std::string("                        ") + kPeriodNames[p] + "  (" + options::DatePeriodText(p) + ")\n";
  text +=
      "  --range FROM..TO    only items sent from FROM to TO, both included (YYYY-MM-DD;\n"
      "                      repeatable; FROM must be before TO; not with --period)\n"
      "  --folder PATH       scan this folder path (repeatable; default: every folder in walk order),\n"
      "                      as 'quillmere-cli info' prints it, e.g. '\\\\Personal Folders\\Top of Personal Folders\\Inbox'\n"
      "  --list-duplicates   after each folder's lines: items read and skipped, and one line per\n"
      "                      duplicate with the item it repeats\n"
      "  --json              the same report as one JSON document, duplicates included\n"
      "  --log FILE          also write the run log (UTF-16LE, as the desktop program writes it) to FILE\n"
      "  --reader fast|libpff  the PST reader (default: fast; a file it cannot read is read\n"
      "                      through libpff, and a line on standard error says so)\n"
      "  --help, --version\n"
      "\n"
      "Several files: each is scanned with its own lines and totals; the closing line comes once.\n"
      "A progress line goes to standard error when it is a terminal.\n"
      "\n"
      "exit status:\n"
      "  0  done (duplicates found or not)\n"
      "  2  usage error\n"
      "  3  a file could not be opened (missing, unreadable, not a regular file, or not a readable PST)\n"
      "  4  stopped by SIGINT (Ctrl-C); the totals so far are still printed\n";
  return text;
}

ScanParse ParseScanOptions(const std::vector<std::string>& args, const CivilDateTime& now) {
  ScanParse result;
  ScanOptions& o = result.options;
  o.criteria.subject = o.criteria.senderEmail = o.criteria.attachments = 1;
  int period = -1;
  std::vector<DateRange> manual;
  bool onlyFiles = false;

  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
      o.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyFiles = true;
      continue;
    }
    std::optional<std::string> inlineValue;
    if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      inlineValue = arg.substr(eq + 1);
      arg.resize(eq);
    }
    auto value = [&](std::string& out) {
      if (inlineValue) {
        out = *inlineValue;
        return true;
      }
      if (i + 1 >= args.size()) {
        result.error = arg + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    auto flag = [&](bool& out) {
      if (inlineValue) {
        result.error = arg + " takes no value";
        return false;
      }
      out = true;
      return true;
    };
    std::string v;
    if (arg == "--help" || arg == "-h") {
      if (!flag(o.help)) return result;
    } else if (arg == "--version") {
      if (!flag(o.version)) return result;
    } else if (arg == "--list-duplicates") {
      if (!flag(o.listDuplicates)) return result;
    } else if (arg == "--json") {
      if (!flag(o.json)) return result;
    } else if (arg == "--criteria") {
      if (!value(v)) return result;
      auto criteria = ParseCriteria(v, result.error);
      if (!criteria) return result;
      o.criteria = *criteria;
    } else if (arg == "--scope") {
      if (!value(v)) return result;
      if (v == "folder") {
        o.scope = 1;
      } else if (v == "file") {
        o.scope = 2;
      } else {
        result.error = "--scope is folder or file, not '" + v + "'";
        return result;
      }
    } else if (arg == "--period") {
      if (!value(v)) return result;
      period = -1;
      for (int p = 0; p < options::kDatePeriodCount; ++p)
        if (v == kPeriodNames[p]) period = p;
      if (period < 0) {
        result.error = "unknown period '" + v + "' (see --help)";
        return result;
      }
    } else if (arg == "--range") {
      if (!value(v)) return result;
      const auto dots = v.find("..");
      const auto from = dots == std::string::npos ? std::nullopt : ParseDate(v.substr(0, dots));
      const auto to = dots == std::string::npos ? std::nullopt : ParseDate(v.substr(dots + 2));
      if (!from || !to) {
        result.error = "--range wants FROM..TO with dates as YYYY-MM-DD, not '" + v + "'";
        return result;
      }
      if (!options::IsManualRangeValid(*from, *to)) {
        result.error = options::kManualRangeInvalidText;
        return result;
      }
      for (const auto& r : manual)
        if (r.start == *from && r.end == *to) {
          result.error = options::kRangeAlreadyListedText;
          return result;
        }
      manual.push_back({*from, *to});
    } else if (arg == "--folder") {
      if (!value(v)) return result;
      if (!o.folders) o.folders.emplace();
      o.folders->push_back(v);
    } else if (arg == "--reader") {
      if (!value(v)) return result;
      if (!IsReaderName(v)) {
        result.error = "--reader is fast or libpff, not '" + v + "'";
        return result;
      }
      o.reader = v;
    } else if (arg == "--log") {
      if (!value(v)) return result;
      if (v.empty()) {
        result.error = "--log needs a file name";
        return result;
      }
      o.logPath = v;
    } else {
      result.error = "unknown option '" + arg + "'";
      return result;
    }
  }

  if (o.help || o.version) return result;
  if (period >= 0 && !manual.empty()) {
    result.error = "--period and --range cannot be used together";
    return result;
  }
  if (period >= 0) {
    if (auto range = options::BuildPeriodRange(period, now)) o.dateRanges.push_back(*range);
  } else {
    o.dateRanges = manual;
  }
  if (o.files.empty()) result.error = "no PST file given";
  return result;
}

}  // namespace quillmere::cli
