#!/usr/bin/env bash
# Runs every test suite of both builds, native and under Wine, and ends with one line
# "N passed, M failed" over all of them. Exits non-zero when anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-route.sh

fuzz_seconds=${FUZZ_SECONDS:-10}
logs=build/test-logs
mkdir -p "$logs"
total_passed=0
total_failed=0
failed_suites=()

# The fewest test cases each suite may run, from tests/expected-counts: a test file dropped from a
# build shows as a suite that ran fewer than its line says.
declare -A expected_counts=()
while read -r suite count _; do
  [[ -z $suite || $suite == \#* ]] || expected_counts[$suite]=$count
done <tests/expected-counts

# Adds a suite's counts from its GoogleTest output; a suite that ended without GoogleTest's summary
# (a crash, a hang cut short), ran no test at all (a GTEST_FILTER left in the environment) or ran
# fewer cases than tests/expected-counts records for it counts as one failure.
count_gtest() {
  local name=$1 log=$2 status=$3
  local passed failed
  passed=$(grep -aoE '^\[  PASSED  \] [0-9]+ test' "$log" | grep -oE '[0-9]+' | tail -n1)
  failed=$(grep -aoE '^\[  FAILED  \] [0-9]+ test' "$log" | grep -oE '[0-9]+' | tail -n1)
  passed=${passed:-0}
  failed=${failed:-0}
  if [[ $status -ne 0 && $failed -eq 0 ]]; then failed=1; fi
  if ! grep -aq '^\[==========\] .* ran\.' "$log"; then
    [[ $failed -eq 0 ]] && failed=1
  elif [[ $((passed + failed)) -eq 0 ]]; then
    failed=1
    echo "$name: ran no test (GTEST_FILTER=${GTEST_FILTER:-<unset>})" >>"$log"
  elif [[ $((passed + failed)) -lt ${expected_counts[$name]:-0} ]]; then
    echo "$name: ran $((passed + failed)) test cases, tests/expected-counts asks for at least" \
      "${expected_counts[$name]}" | tee -a "$log"
    [[ $failed -eq 0 ]] && failed=1
  fi
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  [[ $failed -ne 0 ]] && failed_suites+=("$name")
  printf '%-28s %5d passed, %d failed   (log: %s)\n' "$name" "$passed" "$failed" "$log"
}

# run_gtest NAME TIMEOUT COMMAND...
run_gtest() {
  local name=$1 limit=$2
  shift 2
  local log=$logs/$name.log
  timeout --kill-after=10 "$limit" "$@" --gtest_color=no >"$log" 2>&1
  count_gtest "$name" "$log" $?
}

# run_wine_gtest NAME TIMEOUT EXE [WRAPPER...]: the test program in a throwaway prefix of its own,
# the whole run inside WRAPPER when one is given.
run_wine_gtest() {
  local name=$1 limit=$2 exe=$3
  shift 3
  if [[ ! -f $exe ]]; then
    echo "$name: $exe was not built" >"$logs/$name.log"
    count_gtest "$name" "$logs/$name.log" 1
    return
  fi
  run_gtest "$name" "$limit" "$@" scripts/with-wine.sh wine "$exe"
}

# run_fuzz NAME: a bounded libFuzzer run from the committed seeds; one case, passed when the
# fuzzer found nothing.
run_fuzz() {
  local name=$1
  local exe=build/fuzz/fuzz/$name log=$logs/$name.log
  local corpus=fuzz/corpus/${name%_fuzzer}
  local work
  work=$(mktemp -d)
  local seeds=()
  [[ -d $corpus ]] && seeds=("$corpus")
  if [[ -x $exe ]] && (cd "$work" && timeout --kill-after=10 $((fuzz_seconds + 60)) \
      "$OLDPWD/$exe" -max_total_time="$fuzz_seconds" -max_len=65536 -timeout=10 \
      "$work" "${seeds[@]/#/$OLDPWD/}") >"$log" 2>&1; then
    total_passed=$((total_passed + 1))
    printf '%-28s %5d passed, %d failed   (%s)\n' "$name" 1 0 "$(grep -aoE 'Done [0-9]+ runs' "$log" | tail -n1)"
  else
    total_failed=$((total_failed + 1))
    failed_suites+=("$name")
    printf '%-28s %5d passed, %d failed   (log: %s)\n' "$name" 0 1 "$log"
  fi
  rm -rf "$work"
}

echo "== native unit tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
run_gtest native-unit 600 build/native/kelvor_unit_tests

echo "== fuzzers, ${fuzz_seconds}s each"
for fuzzer in settings_file_fuzzer arguments_fuzzer java_version_fuzzer release_file_fuzzer candidate_order_fuzzer memory_entry_fuzzer; do
  run_fuzz "$fuzzer"
done

wine_route=$(kelvor_wine_route_text)
echo "== under Wine (each suite in its own throwaway prefix); 32-bit route: $wine_route"
run_wine_gtest wine-unit 600 build/win32/kelvor_unit_tests.exe
run_wine_gtest wine-platform 600 build/win32/kelvor_wine_tests.exe
run_wine_gtest wine-window 600 build/win32/tests/window/kelvor_window_tests.exe
run_wine_gtest wine-e2e 1200 build/win32/tests/e2e/kelvor_e2e_tests.exe scripts/with-full-volume.sh

echo
echo "Windows half ran under Wine, 32-bit route: $wine_route"
if [[ ${#failed_suites[@]} -gt 0 ]]; then echo "failing suites: ${failed_suites[*]}"; fi
echo "$total_passed passed, $total_failed failed"
[[ $total_failed -eq 0 ]]
