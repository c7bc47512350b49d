#!/usr/bin/env bash
# Measures the program and its parsers, prints one table, and rewrites docs/performance.md with
# the plot docs/performance.png. Usage: scripts/bench.sh
# Settable: STARTUP_RUNS (40), DISCOVERY_REPEATS (21), JOBS (nproc), and BENCH_BUILD_DIR /
# WIN32_BUILD_DIR (build/bench, build/win32) to measure from other build folders.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh gnuplot-nox

jobs=${JOBS:-$(nproc)}
startup_runs=${STARTUP_RUNS:-40}
discovery_repeats=${DISCOVERY_REPEATS:-21}
bench_dir=${BENCH_BUILD_DIR:-build/bench}
win32_dir=${WIN32_BUILD_DIR:-build/win32}
results=build/bench-results
rm -rf "$results"
mkdir -p "$results"

echo "== building (presets bench and win32)"
cmake --preset bench -B "$bench_dir" >/dev/null
cmake --build "$bench_dir" -j "$jobs" --target parsers_bench
cmake --preset win32 -B "$win32_dir" >/dev/null
cmake --build "$win32_dir" -j "$jobs" \
  --target KelvorStartupSettings startup_launcher minimal_window minimal_window_imports discovery_bench

# The Windows path of a file of this tree, through Wine's Z: drive.
windows_path() { echo "Z:$(realpath "$1" | tr '/' '\\')"; }

echo "== parsers (Google Benchmark, native)"
"$bench_dir/bench/parsers_bench" --benchmark_out="$results/parsers.json" \
  --benchmark_out_format=json --benchmark_min_time=0.5 | tee "$results/parsers.txt"

echo "== start-up under Wine, $startup_runs alternating runs each, empty discovery"
program=$(windows_path "$win32_dir"/KelvorStartupSettings.exe)
minimal=$(windows_path "$win32_dir"/bench/startup/minimal_window.exe)
imports=$(windows_path "$win32_dir"/bench/startup/minimal_window_imports.exe)
timeout 1200 scripts/with-wine.sh wine "$win32_dir"/bench/startup/startup_launcher.exe \
  "$startup_runs" program KelvorSSClass "\"$program\"" minimal KelvorMinimalClass "\"$minimal\"" \
  imports KelvorMinimalClass "\"$imports\"" \
  | tr -d '\r' | tee "$results/startup.txt"

echo "== discovery under Wine (N installations, median of $discovery_repeats runs)"
timeout 1200 scripts/with-wine.sh wine "$win32_dir"/bench/discovery/discovery_bench.exe \
  "$discovery_repeats" | tr -d '\r' | tee "$results/discovery.txt"

echo "== the binary"
cp "$win32_dir"/KelvorStartupSettings.exe "$results/stripped.exe"
i686-w64-mingw32-strip "$results/stripped.exe"
stat -c %s "$win32_dir"/KelvorStartupSettings.exe >"$results/size-unstripped.txt"
stat -c %s "$results/stripped.exe" >"$results/size-stripped.txt"
i686-w64-mingw32-objdump -p "$results/stripped.exe" | awk '/DLL Name:/ {print $3}' |
  sort -u >"$results/imports.txt"

{
  echo "cores=$(nproc)"
  echo "cpu=$(lscpu | sed -n 's/^Model name:[[:space:]]*//p' | head -n1)"
  echo "wine=$(wine --version)"
  echo "kernel=$(uname -sr)"
  echo "gxx=$(g++ -dumpfullversion)"
  echo "mingw=$(i686-w64-mingw32-g++-posix -dumpfullversion)"
  echo "commit=$(git rev-parse --short HEAD)"
  echo "date=$(date -u +%Y-%m-%d)"
  echo "load=$(cut -d" " -f1-3 /proc/loadavg)"
} >"$results/machine.txt"

echo
python3 bench/report_performance.py "$results" docs/performance.md
gnuplot -e "results='$results'; output='docs/performance.png'" scripts/plot-performance.gp
echo "bench: wrote docs/performance.md and docs/performance.png"
