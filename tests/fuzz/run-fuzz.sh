#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer + AddressSanitizer) and runs
# each one for a time box over its corpus.
#   tests/fuzz/run-fuzz.sh BUILD_DIR SECONDS [TARGET...]
# The corpus of a target lives in BUILD_DIR/fuzz-corpus/TARGET and grows from
# run to run; it starts from the sample PST files, the files our writer makes
# and the kept regressions. A crashing input lands in
# BUILD_DIR/fuzz-artifacts/TARGET/; keep it small (libFuzzer's -minimize_crash)
# under tests/fuzz/regressions/TARGET/ once it is fixed. Every run adds a line
# to BUILD_DIR/fuzz-stats.log: date, target, seconds, executions, result.
set -euo pipefail
src="$(cd "$(dirname "$(readlink -f "$0")")/../.." && pwd)"
build=${1:?usage: run-fuzz.sh BUILD_DIR SECONDS [TARGET...]}
seconds=${2:?usage: run-fuzz.sh BUILD_DIR SECONDS [TARGET...]}
shift 2
targets=("$@")
samples="$(readlink -f "$src/../shared/samples")"
jobs=${QM_JOBS:-2}

flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g -O1"
CC=clang CXX=clang++ cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DQM_BUILD_GUI=OFF -DQM_BUILD_BENCH=OFF -DQM_FUZZ=ON \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
# By default every store backend that has a fuzz target in this build.
if [ ${#targets[@]} -eq 0 ]; then
  for t in $(ninja -C "$build" -t targets all | grep -o '^fuzz-[a-z0-9_]*:' | tr -d : | sed 's/^fuzz-//' | sort -u); do
    targets+=("$t")
  done
fi
build_targets=()
for t in "${targets[@]}"; do build_targets+=("fuzz-$t"); done
cmake --build "$build" -j "$jobs" --target "${build_targets[@]}" qm-make-pst-fixtures

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$src/tests/fuzz/lsan.supp:print_suppressions=0}

# One target for the time box; its result line goes to fuzz-stats.log.
fuzz_one() {
  local t=$1
  local corpus="$build/fuzz-corpus/$t" seeds="$build/fuzz-seeds/$t" artifacts="$build/fuzz-artifacts/$t"
  local log="$build/fuzz-$t.log" rc execs result
  mkdir -p "$corpus" "$seeds" "$artifacts"
  for f in Empty.pst dist-list.pst outlook.pst passworded.pst; do
    [ -f "$samples/$f" ] && cp -f "$samples/$f" "$seeds/sample-$f" && chmod u+w "$seeds/sample-$f"
  done
  "$build/tests/fuzz/qm-make-pst-fixtures" "$seeds" >/dev/null
  [ -d "$src/tests/fuzz/regressions/$t" ] && cp -f "$src/tests/fuzz/regressions/$t"/* "$seeds/" 2>/dev/null || true
  echo "run-fuzz: $t for ${seconds}s (log: $log)"
  set +e
  "$build/tests/fuzz/fuzz-$t" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -max_len=300000 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "$seeds" >"$log" 2>&1
  rc=$?
  set -e
  execs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  result=ok
  [ $rc -ne 0 ] && result="FAILED($rc)"
  printf '%s\t%s\t%ss\t%s execs\t%s\n' "$(date -u +%FT%TZ)" "$t" "$seconds" "${execs:-0}" "$result" \
    | tee -a "$build/fuzz-stats.log"
  if [ $rc -ne 0 ]; then
    grep -E 'ERROR|SUMMARY|Test unit written|#[0-9]+ +0x' "$log" | head -40 || true
  fi
  return $rc
}

# With two or more jobs the targets share the time box side by side.
status=0
pids=()
for t in "${targets[@]}"; do
  if [ "$jobs" -ge 2 ]; then
    fuzz_one "$t" &
    pids+=($!)
  else
    fuzz_one "$t" || status=1
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
exit $status
