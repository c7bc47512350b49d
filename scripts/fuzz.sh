#!/usr/bin/env bash
# Runs each libFuzzer target for FUZZ_RUNS executions (default 10 million) under ASan and UBSan,
# seeded from fuzz/corpus/<name>/, prints executions, executions per second, coverage and
# findings per target, and rewrites the results section of docs/reliability.md.
# Settable: FUZZ_RUNS, JOBS (nproc), FUZZ_BUILD_DIR (build/fuzz), FUZZ_MAX_LEN (65536), and
# FUZZ_UPDATE_CORPUS=1 to replace each committed corpus by the minimised union of it and what
# the run found (libFuzzer -merge=1).
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
failed=0
for target in "${targets[@]}"; do
  exe=$build/fuzz/$target
  log=$results/$target.log
  corpus=fuzz/corpus/${target%_fuzzer}
  if [[ ! -x $exe ]]; then
    echo "fuzz: $target was not built" | tee "$log"
    failed=1
    continue
  fi
  # New inputs go to a scratch copy, so the committed corpus changes only when asked.
  work=$results/$target.corpus
  mkdir -p "$work" "$corpus"
  cp -r "$corpus"/. "$work"/ 2>/dev/null || true
  echo "== $target: $runs runs from $(find "$corpus" -type f | wc -l) seeds"
  started=$(date +%s%N)
  "$exe" -runs="$runs" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$results/$target-" "$work" >"$log" 2>&1
  status=$?
  echo "elapsed_milliseconds=$((($(date +%s%N) - started) / 1000000)) exit_status=$status" >>"$log"
  [[ $status -ne 0 ]] && failed=1
  if [[ ${FUZZ_UPDATE_CORPUS:-0} == 1 && $status -eq 0 ]]; then
    merged=$results/$target.merged
    mkdir -p "$merged"
    "$exe" -merge=1 -max_len="$max_len" "$merged" "$corpus" "$work" >>"$log" 2>&1 &&
      rm -rf "$corpus" && mv "$merged" "$corpus"
  fi
done

python3 bench/report_reliability.py "$results" "$runs" docs/reliability.md "${targets[@]}"
[[ $failed -eq 0 ]]
