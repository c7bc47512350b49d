#!/usr/bin/env bash
# Measures the program and its parsers, prints one table, and rewrites docs/performance.md with
# the plot docs/performance.png. Usage: scripts/bench.sh
# Settable: STARTUP_RUNS (240 rounds), DISCOVERY_ROUNDS (15 per size and process) in
# DISCOVERY_PROCESSES (6), PARSER_REPETITIONS (3), JOBS (nproc), and
# BENCH_BUILD_DIR / WIN32_BUILD_DIR (build/bench, build/win32) to measure from other build folders.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh gnuplot-nox
source scripts/wine-route.sh

jobs=${JOBS:-$(nproc)}
startup_runs=${STARTUP_RUNS:-240}
discovery_rounds=${DISCOVERY_ROUNDS:-15}
discovery_processes=${DISCOVERY_PROCESSES:-6}
parser_repetitions=${PARSER_REPETITIONS:-3}
bench_dir=${BENCH_BUILD_DIR:-build/bench}
win32_dir=${WIN32_BUILD_DIR:-build/win32}
results=build/bench-results
rm -rf "$results"
mkdir -p "$results"
load_start=$(cut -d" " -f1-3 /proc/loadavg)
# The route is a host-wide setting another user of the machine may switch during a run.
route_start=$(kelvor_wine_route)

echo "== building (presets bench and win32)"
cmake --preset bench -B "$bench_dir" >/dev/null
cmake --build "$bench_dir" -j "$jobs" --target parsers_bench
cmake --preset win32 -B "$win32_dir" >/dev/null
cmake --build "$win32_dir" -j "$jobs" \
  --target KelvorStartupSettings startup_launcher minimal_window minimal_window_imports static_window \
  startup_traced discovery_bench

# The DLL names of an image's import table, one a line.
imported_dlls() { i686-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print $3}' | sort -u; }

# The twins stand for the program only while they load what it loads.
program_dlls=$(imported_dlls "$win32_dir"/KelvorStartupSettings.exe)
for twin in minimal_window_imports static_window startup_traced; do
  twin_dlls=$(imported_dlls "$win32_dir/bench/startup/$twin.exe")
  if [[ $twin_dlls != "$program_dlls" ]]; then
    echo "bench: $twin.exe imports $(echo $twin_dlls), the program $(echo $program_dlls)" >&2
    exit 1
  fi
done

# The Windows path of a file of this tree, through Wine's Z: drive.
windows_path() { echo "Z:$(realpath "$1" | tr '/' '\\')"; }

echo "== parsers (Google Benchmark, native)"
"$bench_dir/bench/parsers_bench" --benchmark_out="$results/parsers.json" \
  --benchmark_out_format=json --benchmark_min_time=0.3 \
  --benchmark_repetitions="$parser_repetitions" | tee "$results/parsers.txt"

echo "== start-up under Wine, $startup_runs rounds, empty discovery"
startup=$win32_dir/bench/startup
# The stamped builds append their stamps here; the launcher gives each the start's counter. The
# static twin runs twice a round: the second copy is the A/A comparison.
export KELVOR_STARTUP_TRACE
KELVOR_STARTUP_TRACE="$(windows_path "$results")\\stamps.txt"
timeout 3600 scripts/with-wine.sh wine "$startup"/startup_launcher.exe "$startup_runs" \
  program KelvorSSClass "\"$(windows_path "$win32_dir"/KelvorStartupSettings.exe)\"" \
  static KelvorStaticClass "\"$(windows_path "$startup"/static_window.exe)\"" \
  imports KelvorMinimalClass "\"$(windows_path "$startup"/minimal_window_imports.exe)\"" \
  static_again KelvorStaticClass "\"$(windows_path "$startup"/static_window.exe)\"" \
  minimal KelvorMinimalClass "\"$(windows_path "$startup"/minimal_window.exe)\"" \
  traced KelvorSSClass "\"$(windows_path "$startup"/startup_traced.exe)\"" \
  | tr -d '\r' | tee "$results/startup.txt"

echo "== discovery under Wine ($discovery_rounds rounds per size in each of $discovery_processes processes)"
# The process is the unit of the discovery's intervals: one often ran 10 to 20 % faster or slower
# than the next with the same binary, so each gets a fresh prefix and counts once.
for ((process = 1; process <= discovery_processes; process++)); do
  echo "process $process"
  timeout 3600 scripts/with-wine.sh wine "$win32_dir"/bench/discovery/discovery_bench.exe \
    "$discovery_rounds" | tr -d '\r'
done | tee "$results/discovery.txt"

echo "== the binary"
cp "$win32_dir"/KelvorStartupSettings.exe "$results/stripped.exe"
i686-w64-mingw32-strip "$results/stripped.exe"
stat -c %s "$win32_dir"/KelvorStartupSettings.exe >"$results/size-unstripped.txt"
stat -c %s "$results/stripped.exe" >"$results/size-stripped.txt"
imported_dlls "$results/stripped.exe" >"$results/imports.txt"

{
  echo "cores=$(nproc)"
  echo "cpu=$(lscpu | sed -n 's/^Model name:[[:space:]]*//p' | head -n1)"
  echo "wine=$(wine --version)"
  route_end=$(kelvor_wine_route)
  echo "route=$([[ $route_start == "$route_end" ]] && echo "$route_end" || echo changed)"
  echo "route_text=$([[ $route_start == "$route_end" ]] && kelvor_wine_route_text ||
    echo "changed during the run, $route_start at its start and $route_end at its end")"
  echo "kernel=$(uname -sr)"
  echo "gxx=$(g++ -dumpfullversion)"
  echo "mingw=$(i686-w64-mingw32-g++-posix -dumpfullversion)"
  echo "commit=$(git rev-parse --short HEAD)"
  echo "date=$(date -u +%Y-%m-%d)"
  echo "load_start=$load_start"
  echo "load=$(cut -d" " -f1-3 /proc/loadavg)"
  echo "startup_runs=$startup_runs"
} >"$results/machine.txt"

echo
python3 bench/report_performance.py "$results" docs/performance.md
gnuplot -e "results='$results'; output='docs/performance.png'; route='$(kelvor_wine_route)'" \
  scripts/plot-performance.gp
echo "bench: wrote docs/performance.md, docs/performance-runs.csv and docs/performance.png"
