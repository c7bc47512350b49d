#!/usr/bin/env bash
# Runs every libFuzzer target (fuzz/*_fuzzer.cpp) for FUZZ_RUNS executions (default 10 million)
# under ASan and UBSan, seeded from fuzz/corpus/<name>/, on all cores with libFuzzer's jobs mode,
# prints executions, executions per second, coverage and findings per target, and rewrites the
# results section of docs/reliability.md.
#
# Most of the time of a long run goes to the largest inputs, so each target runs in two passes:
# the bulk of its executions at a small maximum length (FUZZ_SMALL_LEN, 1024 bytes), then
# FUZZ_LARGE_PERCENT (5) percent of them at FUZZ_MAX_LEN (65536), on the corpus the first pass grew.
# FUZZ_BUDGET_SECONDS (2400) caps all targets together: each target gets an equal share of what
# the targets before it left unused, its first pass nine tenths of that and its second pass
# what is left; the report says when a cap ended a pass before its executions were done.
# Jobs mode (one long process per core, sharing the corpus directory) rather than fork mode: fork
# mode restarts its children every few seconds, and each restart reloads the whole corpus, which
# here cost more than half the executions of a short run.
# Settable too: FUZZ_WORKERS (nproc), FUZZ_BUILD_DIR (build/fuzz), and FUZZ_UPDATE_CORPUS=1 to
# replace each committed corpus by the minimised union of it and what the run found (-merge=1).
set -uo pipefail
cd "$(dirname "$0")/.."

runs=${FUZZ_RUNS:-10000000}
small_len=${FUZZ_SMALL_LEN:-1024}
max_len=${FUZZ_MAX_LEN:-65536}
large_percent=${FUZZ_LARGE_PERCENT:-5}
budget=${FUZZ_BUDGET_SECONDS:-2400}
workers=${FUZZ_WORKERS:-$(nproc)}
build=${FUZZ_BUILD_DIR:-build/fuzz}
results=$PWD/build/fuzz-results  # absolute: each pass runs in its own folder

targets=()
for source in fuzz/*_fuzzer.cpp; do
  name=${source##*/}
  targets+=("${name%.cpp}")
done

cmake --preset fuzz -B "$build" >/dev/null || exit 1
failed=0
for target in "${targets[@]}"; do
  # One at a time, so that a target that does not build is reported and the others still run.
  cmake --build "$build" -j "$workers" --target "$target" >/dev/null 2>&1 ||
    echo "fuzz: $target did not build" >&2
done

rm -rf "$results"
mkdir -p "$results"
large_runs=$((runs * large_percent / 100))
small_runs=$((runs - large_runs))
budget_started=$(date +%s)
targets_left=${#targets[@]}

# fuzz_pass TARGET PASS RUNS MAX_LEN SECONDS: one job per worker, RUNS shared among them, on the
# target's scratch corpus; each job's log (PASS-N.log) ends with libFuzzer's final stats, and the
# pass's own log with its settings, time and exit status, which the report reads.
fuzz_pass() {
  local target=$1 pass=$2 pass_runs=$3 length=$4 seconds=$5
  local dir=$results/$target.$pass
  local exe started status
  exe=$(realpath "$build/fuzz/$target")
  mkdir -p "$dir"
  started=$(date +%s%N)
  # Jobs write fuzz-N.log into the current directory.
  (cd "$dir" && "$exe" -jobs="$workers" -workers="$workers" -runs=$((pass_runs / workers)) \
    -max_total_time="$seconds" -max_len="$length" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$results/$target-" "$results/$target.corpus" \
    >pass.log 2>&1)
  status=$?
  # A job that crashed says so in its own log; the parent's status does not always.
  grep -qE "ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:" "$dir"/fuzz-*.log && status=1
  echo "pass=$pass asked_runs=$pass_runs max_len=$length cap_seconds=$seconds" \
    "elapsed_milliseconds=$((($(date +%s%N) - started) / 1000000)) exit_status=$status" >>"$dir/pass.log"
  return "$status"
}

for target in "${targets[@]}"; do
  exe=$build/fuzz/$target
  corpus=fuzz/corpus/${target%_fuzzer}
  if [[ ! -x $exe ]]; then
    echo "fuzz: $target was not built" >&2
    failed=1
    continue
  fi
  # New inputs go to a scratch copy, so the committed corpus changes only when asked.
  work=$results/$target.corpus
  mkdir -p "$work" "$corpus"
  cp -r "$corpus"/. "$work"/ 2>/dev/null || true
  started=$(date +%s)
  # A target that reaches its executions early leaves its time to the ones after it.
  per_target=$(((budget - (started - budget_started)) / targets_left))
  targets_left=$((targets_left - 1))
  echo "== $target: $small_runs runs up to $small_len bytes, then $large_runs up to $max_len," \
    "$workers workers, at most $per_target s, from $(find "$corpus" -type f | wc -l) seeds"
  fuzz_pass "$target" small "$small_runs" "$small_len" $((per_target * 9 / 10)) || failed=1
  left=$((per_target - ($(date +%s) - started)))
  ((left < 1)) && left=1
  fuzz_pass "$target" large "$large_runs" "$max_len" "$left" || failed=1
  if [[ ${FUZZ_UPDATE_CORPUS:-0} == 1 && $failed -eq 0 ]]; then
    merged=$results/$target.merged
    mkdir -p "$merged"
    "$exe" -merge=1 -max_len="$max_len" "$merged" "$corpus" "$work" >>"$results/$target.merge.log" 2>&1 &&
      rm -rf "$corpus" && mv "$merged" "$corpus"
  fi
done

FUZZ_WORKERS=$workers FUZZ_BUDGET_SECONDS=$budget \
  python3 bench/report_reliability.py "$results" "$runs" docs/reliability.md "${targets[@]}"
[[ $failed -eq 0 ]]
