#!/usr/bin/env bash
# Runs each libFuzzer target for FUZZ_RUNS executions (default 10 million) under ASan and UBSan,
# seeded from fuzz/corpus/<name>/, prints executions, executions per second, coverage and
# findings per target, and rewrites the results section of docs/reliability.md.
# Settable: FUZZ_RUNS, JOBS (nproc), FUZZ_BUILD_DIR (build/fuzz), FUZZ_MAX_LEN (65536),
# FUZZ_MAX_SECONDS (a time cap per target, none by default; the report gives the executions
# actually run), FUZZ_PARALLEL (targets run at once, 1), and FUZZ_UPDATE_CORPUS=1 to replace
# each committed corpus by the minimised union of it and what the run found (-merge=1).
set -uo pipefail
cd "$(dirname "$0")/.."

runs=${FUZZ_RUNS:-10000000}
jobs=${JOBS:-$(nproc)}
build=${FUZZ_BUILD_DIR:-build/fuzz}
max_len=${FUZZ_MAX_LEN:-65536}
results=build/fuzz-results
targets=(settings_file_fuzzer arguments_fuzzer java_version_fuzzer release_file_fuzzer)

cmake --preset fuzz -B "$build" >/dev/null || exit 1
existing=()
for target in "${targets[@]}"; do
  [[ -f fuzz/$target.cpp ]] && existing+=("$target")
done
cmake --build "$build" -j "$jobs" --target "${existing[@]}" || exit 1

rm -rf "$results"
mkdir -p "$results"
time_cap=()
[[ -n ${FUZZ_MAX_SECONDS:-} ]] && time_cap=(-max_total_time="$FUZZ_MAX_SECONDS")

# fuzz_target NAME: one run from the committed seeds; its log ends with the time and exit status.
fuzz_target() {
  local target=$1
  local exe=$build/fuzz/$target log=$results/$target.log corpus=fuzz/corpus/${target%_fuzzer}
  if [[ ! -x $exe ]]; then
    echo "fuzz: $target was not built" | tee "$log"
    return 1
  fi
  # New inputs go to a scratch copy, so the committed corpus changes only when asked.
  local work=$results/$target.corpus
  mkdir -p "$work" "$corpus"
  cp -r "$corpus"/. "$work"/ 2>/dev/null || true
  echo "== $target: $runs runs from $(find "$corpus" -type f | wc -l) seeds"
  local started status
  started=$(date +%s%N)
  "$exe" -runs="$runs" "${time_cap[@]}" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$results/$target-" "$work" >"$log" 2>&1
  status=$?
  echo "elapsed_milliseconds=$((($(date +%s%N) - started) / 1000000)) exit_status=$status" >>"$log"
  if [[ ${FUZZ_UPDATE_CORPUS:-0} == 1 && $status -eq 0 ]]; then
    local merged=$results/$target.merged
    mkdir -p "$merged"
    "$exe" -merge=1 -max_len="$max_len" "$merged" "$corpus" "$work" >>"$results/$target.merge.log" 2>&1 &&
      rm -rf "$corpus" && mv "$merged" "$corpus"
  fi
  return "$status"
}

failed=0
running=0
for target in "${targets[@]}"; do
  if ((running >= ${FUZZ_PARALLEL:-1})); then
    wait -n || failed=1
    running=$((running - 1))
  fi
  fuzz_target "$target" &
  running=$((running + 1))
done
while ((running > 0)); do
  wait -n || failed=1
  running=$((running - 1))
done

python3 bench/report_reliability.py "$results" "$runs" docs/reliability.md "${targets[@]}"
[[ $failed -eq 0 ]]
