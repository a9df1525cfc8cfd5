#pragma once
// A scan through quillmere-cli's report sink over a store in memory: what
// the command would print (with --list-duplicates), and its JSON document.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/scan_sink.h"
#include "detect/run_driver.h"
#include "tests/fakes/fake_clock.h"

namespace quillmere::cli {

struct MemoryRun {
  std::string text;
  nlohmann::ordered_json json;
  detect::RunTotals totals;
  detect::RunEnd end{};
};

inline MemoryRun ScanInMemory(store::StoreSessionFactory& sessions, const detect::RunRequest& request, bool json,
                              const CivilDateTime& now) {
  char* buffer = nullptr;
  size_t size = 0;
  FILE* out = ::open_memstream(&buffer, &size);
  MemoryRun run;
  {
    ScanSink sink(true, json, out, nullptr);
    fakes::FakeClock clock(now);
    std::atomic<int> running{1};
    run.end = detect::RunDuplicateSearch(request, {sessions, sink, nullptr, clock}, running, &run.totals);
    run.json = sink.Document(run.totals);
  }
  std::fclose(out);
  run.text.assign(buffer, size);
  std::free(buffer);
  return run;
}

}  // namespace quillmere::cli
