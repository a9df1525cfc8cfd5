#!/usr/bin/env bash
# Velmora Quillmere benchmarks: speed and peak memory of a scan over large
# generated PST files, side by side with reading the bytes (cat) and with
# what a Linux user would run instead (readpst, pffexport); then the

#
#   bench/run-bench.sh BUILD_DIR
#
# Environment:
#   QM_BENCH_CACHE    where the corpora are kept between runs
#                     (default ~/.cache/velmora-quillmere/bench)
#   QM_BENCH_ONLY     comma-separated subset of: 1gb, 1m, 5gb, micro, profile,
#                     tiny (2,000 items, to try the script out), ost4k (the
#                     1 GB corpus's items in a 4 KB-page offline file)
#                     (default: 1gb,1m,5gb,micro)
#   QM_BENCH_RUNS     hyperfine runs on the 1 GB corpus (default 3; big files: 1)
#   QM_BENCH_TIMEOUT  seconds after which one command is given up (default 1800)
#   QM_BENCH_READERS  readers to scan with (default: libpff, plus fast when
#                     `quillmere-cli scan --help` offers --reader)
#   QM_BENCH_SKIP     comma-separated measurements to leave out, from:
#                     scan-default, scan-text, scan-file, cat, readpst, pffexport
#
# The table gives, per command, the mean wall-clock seconds of its runs with
# their spread, the user+system CPU seconds (steadier than wall time when
# the machine is shared), items and megabytes per second, and the peak
# resident set of the largest run.
set -euo pipefail

BUILD_DIR=$(readlink -f "${1:-build}")
CLI=$BUILD_DIR/cli/quillmere-cli
CACHE=${QM_BENCH_CACHE:-$HOME/.cache/velmora-quillmere/bench}
ONLY=${QM_BENCH_ONLY:-1gb,1m,5gb,micro}
RUNS=${QM_BENCH_RUNS:-3}
TIMEOUT=${QM_BENCH_TIMEOUT:-1800}
SKIP=${QM_BENCH_SKIP:-}
GNU_TIME=/usr/bin/time

[ -x "$CLI" ] || { echo "run-bench: $CLI is not built" >&2; exit 2; }
mkdir -p "$CACHE"

wanted() { [[ ",$ONLY," == *",$1,"* ]]; }
skipped() { [[ ",$SKIP," == *",$1,"* ]]; }

# The corpora: name and generator arguments. A corpus is made once and kept
# under a name that carries a digest of its arguments, so changed arguments
# make a new file and never reuse a stale one.
declare -A CORPUS_ARGS=(
  [1gb]="--items 100000 --folders 10 --depth 3 --body-min 1024 --body-max 10240 --exact-duplicates 0.2 --near-duplicates 0.1 --attachments 0.02 --attachment-max 32768 --non-latin 0.1 --name-map 400 --named-per-message 30 --seed 1"
  [1m]="--items 1000000 --folders 1 --depth 1 --body-min 100 --body-max 600 --exact-duplicates 0.2 --near-duplicates 0.1 --attachments 0.01 --attachment-max 4096 --non-latin 0.1 --name-map 400 --named-per-message 30 --seed 2"
  [tiny]="--items 2000 --folders 4 --depth 2 --body-min 1024 --body-max 10240 --exact-duplicates 0.2 --near-duplicates 0.1 --attachments 0.02 --seed 4"
  [profile]="--items 1000 --folders 2 --depth 2 --body-min 1024 --body-max 10240 --exact-duplicates 0.2 --near-duplicates 0.1 --attachments 0.02 --attachment-max 32768 --non-latin 0.1 --name-map 400 --named-per-message 30 --seed 3"
  [ost4k]="--items 100000 --folders 10 --depth 3 --body-min 1024 --body-max 10240 --exact-duplicates 0.2 --near-duplicates 0.1 --attachments 0.02 --attachment-max 32768 --non-latin 0.1 --name-map 400 --named-per-message 30 --seed 1 --format ost4k"
  [5gb]="--size 5G --folders 10 --depth 3 --body-min 1024 --body-max 10240 --exact-duplicates 0.2 --near-duplicates 0.1 --attachments 0.02 --attachment-max 32768 --non-latin 0.1 --name-map 400 --named-per-message 30 --seed 1"
)

corpus_path() {
  local name=$1 key
  key=$(printf '%s' "${CORPUS_ARGS[$name]}" | sha256sum | cut -c1-12)
  echo "$CACHE/$name-$key.pst"
}

# Makes the corpus when it is not there yet; the first time, the seconds and
# peak memory of the generator are kept next to it.
ensure_corpus() {
  local name=$1 path
  path=$(corpus_path "$name")
  if [ ! -f "$path" ]; then
    echo "run-bench: generating the $name corpus into $path" >&2
    # shellcheck disable=SC2086
    $GNU_TIME -f "%e %M" -o "$path.gen-time" nice "$CLI" mkpst --generate ${CORPUS_ARGS[$name]} "$path.part" \
      > "$path.gen-log"
    mv "$path.part" "$path"
  fi
  echo "$path"
}


# The fast reader is measured once quillmere-cli offers it.
if [ -n "${QM_BENCH_READERS:-}" ]; then
  read -r -a READERS <<<"${QM_BENCH_READERS//,/ }"
elif "$CLI" scan --help 2>&1 | grep -q -- '--reader'; then
  READERS=(fast libpff)
else
  READERS=(libpff)
fi
HAS_READER_OPTION=0
"$CLI" scan --help 2>&1 | grep -q -- '--reader' && HAS_READER_OPTION=1
reader_args() { [ "$HAS_READER_OPTION" = 1 ] && echo "--reader $1" || true; }

# Measurements are kept, so a later partial run (one reader, one command)
# is shown beside the earlier ones; QM_BENCH_FRESH=1 forgets them first.
RESULTS=$CACHE/results
[ "${QM_BENCH_FRESH:-}" = 1 ] && rm -rf "$RESULTS"
mkdir -p "$RESULTS"
TABLE=$RESULTS/table.$$
EXPORT_DIR=$CACHE/export-tmp
cleanup() { rm -rf "$TABLE" "$EXPORT_DIR"; }
trap cleanup EXIT

# One measurement: hyperfine times the runs; GNU time, wrapped around each
# run, gives its exit status and peak resident set. A run that exceeds
# QM_BENCH_TIMEOUT is stopped and shown as such.
#   measure CORPUS LABEL RUNS PREPARE COMMAND
measure() {
  local corpus=$1 label=$2 runs=$3 prepare=$4 command=$5
  local base=$RESULTS/$corpus.$label
  rm -f "$base.json" "$base.time"
  echo "run-bench: $corpus $label ($runs run(s))" >&2
  local args=(--runs "$runs" --ignore-failure --style basic --export-json "$base.json" --command-name "$label")
  if [ -n "$prepare" ]; then args+=(--prepare "$prepare" --cleanup "rm -rf $EXPORT_DIR"); fi
  hyperfine "${args[@]}" \
    "$GNU_TIME -f '%x %e %M' -a -o $base.time timeout --foreground $TIMEOUT $command" >&2 || true
}

# A row of the table from a measurement's files.
#   row CORPUS LABEL ITEMS BYTES
row() {
  python3 - "$RESULTS/$1.$2" "$2" "$3" "$4" <<'PYEOF'
import json, sys
base, label, items, size = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
try:
    r = json.load(open(base + ".json"))["results"][0]
    runs = [l.split() for l in open(base + ".time") if l.strip() and l[0].isdigit()]
except (OSError, KeyError, IndexError, ValueError):
    print(f"  {label:<22} not measured"); sys.exit()
failed = [x for x in runs if x[0] != "0"]
mean, sd = r["mean"], r.get("stddev") or 0.0
cpu = r.get("user", 0.0) + r.get("system", 0.0)
rss = max(int(x[2]) for x in runs) / 1024 if runs else 0
note = ""
if failed:
    note = "  TIMED OUT" if any(x[0] == "124" for x in failed) else f"  FAILED (exit {failed[0][0]})"
print(f"  {label:<22} {mean:9.2f} ±{sd:6.2f} {cpu:8.2f} {items/mean:12.0f} {size/mean/1e6:9.1f} {rss:9.1f}{note}")
PYEOF
}

mean_of() { jq -r '.results[0].mean' "$RESULTS/$1.$2.json" 2>/dev/null || echo ""; }
ratio() {
  local a b
  a=$(mean_of "$1" "$2"); b=$(mean_of "$1" "$3")
  # A command stopped by the timeout gives a bound, not a ratio.
  local bound=""
  grep -q '^124 ' "$RESULTS/$1.$3.time" 2>/dev/null && bound="  $3 timed out: a lower bound"
  grep -q '^124 ' "$RESULTS/$1.$2.time" 2>/dev/null && bound="  $2 timed out: a bound"
  if [ -n "$a" ] && [ -n "$b" ]; then
    printf '  %-26s %10.4f  (%s is %.1f times faster)\n' "$2/$3" "$(echo "$a / $b" | bc -l)" \
      "$(if [ "$(echo "$a < $b" | bc -l)" = 1 ]; then echo "$2"; else echo "$3"; fi)" \
      "$(echo "if ($a < $b) $b / $a else $a / $b" | bc -l)"
    [ -z "$bound" ] || echo "$bound"
  fi
}

bench_corpus() {
  local corpus=$1 path items bytes runs=$RUNS
  path=$(ensure_corpus "$corpus")
  items=$(grep -o '[0-9]* items' "$path.gen-log" | head -1 | cut -d' ' -f1)
  bytes=$(stat -c %s "$path")
  [ "$corpus" = 1gb ] || runs=1
  # Warm the page cache, so every command reads the file from memory.
  cat "$path" >/dev/null

  local reader
  for reader in "${READERS[@]}"; do
    local ra; ra=$(reader_args "$reader")
    skipped scan-default || measure "$corpus" "scan-$reader" "$runs" "" "$CLI scan $ra '$path'"
    skipped scan-text || measure "$corpus" "text+subject-$reader" "$runs" "" \
      "$CLI scan $ra --criteria text,subject '$path'"
    skipped scan-file || measure "$corpus" "scope-file-$reader" "$runs" "" "$CLI scan $ra --scope file '$path'"
  done
  skipped cat || measure "$corpus" cat "$runs" "" "cat '$path'"
  # What a Linux user would run instead, each into a folder made afresh.
  skipped readpst || measure "$corpus" readpst 1 "rm -rf $EXPORT_DIR; mkdir -p $EXPORT_DIR" \
    "readpst -q -o $EXPORT_DIR '$path'"
  skipped pffexport || measure "$corpus" pffexport 1 "rm -rf $EXPORT_DIR; mkdir -p $EXPORT_DIR" \
    "pffexport -q -t $EXPORT_DIR/out '$path'"
  rm -rf "$EXPORT_DIR"

  # The fingerprints' share of memory: the same scan with a date range that
  # no item falls in reads every item but keeps no fingerprint.
  local first=${READERS[0]} fra; fra=$(reader_args "$first")
  if [ "$corpus" = 1m ] || [ "${QM_BENCH_MEMORY_ALL:-}" = 1 ]; then
    measure "$corpus" "no-fingerprints-$first" 1 "" "$CLI scan $fra --range 1900-01-01..1900-01-02 '$path'"
    "$CLI" scan $fra --json "$path" > "$RESULTS/$corpus.json-report" 2>/dev/null || true
  fi

  {
    echo
    echo "== $corpus: $(basename "$path"), $items items, $((bytes / 1000000)) MB"
    [ -f "$path.gen-time" ] && read -r gs gk < "$path.gen-time" &&
      echo "  generated in $gs s, peak RSS $((gk / 1024)) MB"
    printf '  %-22s %9s  %6s %8s %12s %9s %9s\n' command seconds '±sd' 'cpu s' items/s MB/s 'RSS MB'
    local label
    for label in $(ls "$RESULTS" | sed -n "s/^$corpus\.\(.*\)\.json$/\1/p"); do
      row "$corpus" "$label" "$items" "$bytes"
    done
    echo "  ratios of seconds:"
    local r
    for r in "${READERS[@]}"; do
      [ "$r" = fast ] || continue
      ratio "$corpus" scan-fast cat
      ratio "$corpus" scan-fast readpst
      ratio "$corpus" scan-fast scan-libpff
    done
    [ "${READERS[*]}" = libpff ] && { ratio "$corpus" scan-libpff cat; ratio "$corpus" scan-libpff readpst; }
    if [ -f "$RESULTS/$corpus.json-report" ]; then
      python3 - "$RESULTS/$corpus.json-report" "$RESULTS/$corpus.scan-$first.time" \
        "$RESULTS/$corpus.no-fingerprints-$first.time" <<'PYEOF'
import json, sys
report = json.load(open(sys.argv[1]))
read = sum(f["itemsRead"] for file in report["files"] for f in file["folders"])
dups = report["files"][0]["duplicates"]
def peak(path):
    rows = [l.split() for l in open(path) if l.strip() and l[0].isdigit()]
    return max(int(r[2]) for r in rows) * 1024 if rows else 0
full, bare = peak(sys.argv[2]), peak(sys.argv[3])
distinct = read - dups
if distinct > 0 and full and bare:
    print(f"  fingerprints: {distinct} distinct (largest folder scope); scan peak {full/2**20:.1f} MB, "
          f"without fingerprints {bare/2**20:.1f} MB: {(full-bare)/distinct:.1f} bytes per distinct fingerprint")
PYEOF
    fi
  } >> "$TABLE"
}

for corpus in tiny 1gb 1m 5gb ost4k; do
  wanted "$corpus" && bench_corpus "$corpus"
done
[ -f "$TABLE" ] && { echo; echo "Velmora Quillmere scan benchmark ($(date -u +%FT%TZ), readers: ${READERS[*]})"; cat "$TABLE"; }

# Where the instructions of a scan go: callgrind over a small corpus, the
# functions with the largest share of instructions, self and inclusive.
if wanted profile; then
  for reader in "${READERS[@]}"; do
    # libpff is slow enough under callgrind that a small corpus serves;
    # our own reader is profiled over the 1 GB corpus.
    if [ "$reader" = libpff ]; then path=$(ensure_corpus profile); else path=$(ensure_corpus 1gb); fi
    out=$CACHE/callgrind.$reader.out
    echo
    echo "== callgrind, default criteria, $reader reader, $(basename "$path")"
    # shellcheck disable=SC2046
    valgrind --tool=callgrind --callgrind-out-file="$out" "$CLI" scan $(reader_args "$reader") "$path" \
      >/dev/null 2>"$out.log" || { tail -3 "$out.log"; continue; }
    callgrind_annotate "$out" > "$out.self" 2>/dev/null || true
    callgrind_annotate --inclusive=yes "$out" > "$out.inclusive" 2>/dev/null || true
    sed -n '/PROGRAM TOTALS/,$p' "$out.self" | grep -v '^-*$' | head -22 | cut -c1-200 || true
    echo "-- inclusive"
    sed -n '/PROGRAM TOTALS/,$p' "$out.inclusive" | grep -v '^-*$' | head -30 | cut -c1-200 || true
  done
fi

# The micro benchmarks: key building, hashing and the fingerprint set.
if wanted micro; then
  for b in "$BUILD_DIR"/bench/*/bench-*; do
    [ -f "$b" ] && [ -x "$b" ] || continue
    echo
    echo "== $(basename "$b")"
    "$b" --benchmark_min_time=0.2
  done
fi
