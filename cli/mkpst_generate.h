#pragma once
// Benchmark corpora for `mkpst --generate`: made-up folders and messages
// with a chosen share of exact and near duplicates, attachments, non-Latin
// text and named properties. The same options make the same bytes.
#include <cstdint>
#include <string>

#include "pst/messaging/pst_writer.h"

namespace quillmere::cli {

struct GenerateOptions {
  pst::FileFormat format = pst::FileFormat::kUnicode;
  uint64_t items = 1000;
  uint64_t targetBytes = 0;  // when set, items are added until the file reaches it
  uint32_t folders = 10;
  uint32_t depth = 3;
  uint32_t bodyMin = 200;
  uint32_t bodyMax = 4000;
  double exactShare = 0.10;
  double nearShare = 0.10;
  double attachmentShare = 0.20;
  uint32_t attachmentMax = 65536;
  double nonLatinShare = 0.10;
  uint32_t nameMapSize = 400;      // distinct named properties in the store
  uint32_t namedPerMessage = 30;   // named properties on each message
  uint64_t seed = 1;
};

struct GenerateResult {
  uint64_t items = 0;
  uint64_t folders = 0;
  uint64_t exactDuplicates = 0;
  uint64_t nearDuplicates = 0;
  uint64_t bytes = 0;
};

// Parses "--items N" style options; returns an error text, empty when fine.
std::string ParseGenerateOption(GenerateOptions& o, const std::string& name, const std::string& value);
GenerateResult GenerateCorpus(const std::string& outPath, const GenerateOptions& options);

}  // namespace quillmere::cli
