// The cost of the duplicate search itself, with the store out of the way:
// key building, fingerprint and set insert per item over the in-memory store,
// and the bytes the fingerprint set holds per distinct fingerprint.
#include <benchmark/benchmark.h>

#include <atomic>
#include <random>

#include "detect/comparison_key.h"
#include "detect/fingerprint_set.h"
#include "detect/run_driver.h"
#include "store/memory/memory_store.h"

namespace {

using namespace quillmere;

store::MailboxDescription MakeMailbox(int items, size_t bodyBytes) {
  std::mt19937 random(1);
  store::MailboxDescription box;
  box.displayName = "Bench";
  store::FolderDescription inbox{"Inbox", "IPF.Note", {}, {}};
  for (int i = 0; i < items; ++i) {
    store::ItemDescription item;
    // One item in five repeats an earlier subject.
    const int n = random() % 5 == 0 ? i / 2 : i;
    item.subject = "Subject of message number " + std::to_string(n);
    item.senderEmail = "sender" + std::to_string(n % 97) + "@example.com";
    item.body.assign(bodyBytes, static_cast<char>('a' + n % 26));
    item.sentTimeUtc = 1700000000 + n * 60;
    inbox.items.push_back(std::move(item));
  }
  box.folders.push_back(std::move(inbox));
  return box;
}

class NullSink final : public detect::RunSink {
 public:
  void AppendReportLine(const std::string&) override {}
  void SetProgressRange(int64_t, int64_t) override {}
  void SetProgressPosition(int64_t) override {}
  void SetProgressVisible(bool) override {}
  void SetButtons(const detect::RunButtons&) override {}
  void ShowMessage(const std::string&) override {}
};

class FixedClock final : public platform::Clock {
 public:
  CivilDateTime Now() override { return {2024, 3, 6, 12, 0, 0}; }
};

void BM_FolderScan(benchmark::State& state) {
  const int items = static_cast<int>(state.range(0));
  const bool withBody = state.range(1) != 0;
  store::MemoryStoreFactory sessions;
  sessions.AddFile("/bench.pst", MakeMailbox(items, withBody ? 8192 : 64));
  detect::RunRequest request;
  request.targets.push_back({"/bench.pst", "0", std::vector<std::string>{"\\\\Bench\\Top of Personal Folders\\Inbox"}});
  request.scope = 1;
  request.criteria.subject = request.criteria.senderEmail = request.criteria.attachments = 1;
  request.criteria.text = withBody ? 1 : 0;
  NullSink sink;
  FixedClock clock;
  for (auto _ : state) {
    std::atomic<int> running{1};
    detect::RunDuplicateSearch(request, {sessions, sink, nullptr, clock}, running);
  }
  state.SetItemsProcessed(state.iterations() * items);
}
BENCHMARK(BM_FolderScan)->Args({100000, 0})->Args({20000, 1})->Unit(benchmark::kMillisecond);

void BM_FingerprintOfKey(benchmark::State& state) {
  const std::string key(static_cast<size_t>(state.range(0)), 'k');
  detect::FingerprintHasher hasher;
  for (auto _ : state) {
    hasher.Begin();
    hasher.Update(key);
    benchmark::DoNotOptimize(hasher.Finish());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FingerprintOfKey)->Arg(64)->Arg(8192);

void BM_SetInsert(benchmark::State& state) {
  const size_t count = static_cast<size_t>(state.range(0));
  std::mt19937_64 random(3);
  std::vector<detect::Fingerprint> prints(count);
  for (auto& f : prints)
    for (auto& b : f) b = static_cast<uint8_t>(random());
  size_t bytes = 0;
  for (auto _ : state) {
    detect::FingerprintSet set;
    for (const auto& f : prints) benchmark::DoNotOptimize(set.Insert(f));
    bytes = set.MemoryBytes();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(count));
  state.counters["bytes_per_fingerprint"] = static_cast<double>(bytes) / static_cast<double>(count);
}
BENCHMARK(BM_SetInsert)->Arg(100000)->Arg(1000000)->Arg(3000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
