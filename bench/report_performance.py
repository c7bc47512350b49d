#!/usr/bin/env python3
"""Turns the raw results of scripts/bench.sh into one table, the plot's data files and
docs/performance.md. Every median, spread, ratio and verdict is computed here from the raw runs.
Usage: report_performance.py RESULTS_DIR OUTPUT_MD"""
import json
import math
import pathlib
import statistics
import sys

# Windows' own DLLs; anything else in the import table would have to ship beside the program.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
    "comdlg32.dll", "comctl32.dll", "msvcrt.dll", "ntdll.dll", "shlwapi.dll", "uxtheme.dll",
    "oleaut32.dll", "version.dll",
}
KIB = 1024
MIN_REPETITIONS = 3  # a verdict from fewer runs than this is not given
STARTUP_NAMES = {
    "program": "the program",
    "static": "static twin (same controls, fixed places)",
    "imports": "minimal window importing the program's DLLs",
    "minimal": "minimal window",
    "traced": "the program, stamped build",
}
PHASES = [  # stamp name, what the phase holds (it ends at the stamp)
    ("loader", "process creation, DLL loading, runtime start-up"),
    ("identity", "application user model id"),
    ("settings", "command line, settings, filling the controls"),
    ("class", "window class (icon, cursor, display driver)"),
    ("window", "creating the main window"),
    ("font", "message font"),
    ("controls", "creating the fifteen controls"),
    ("discovery", "Java discovery"),
    ("layout", "measurements, layout, placement"),
    ("show", "ShowWindow"),
    ("paint", "until the first WM_PAINT"),
]
CALLS = ["enum", "open", "query", "search", "file", "vendor_open"]
CALL_NAMES = {
    "enum": "RegEnumKeyExW", "open": "RegOpenKeyExW+RegCloseKey (value key)",
    "query": "RegQueryValueExW", "search": "SearchPathW",
    "file": "CreateFileW+ReadFile+CloseHandle", "vendor_open": "RegOpenKeyExW+RegCloseKey (vendor key)",
}
STEP_NAMES = {
    "search": ("FindFileInDirectory (javaw.exe)", "search"),
    "release": ("ReadReleaseVersion", "file"),
    "identify": ("IdentifyJavaInstallation (release file included)", "file"),
    "sort": ("sort, per candidate", None),
}


def read_keyed_lines(path, keyword):
    rows = []
    for line in pathlib.Path(path).read_text(errors="replace").splitlines():
        fields = line.split()
        if fields and fields[0] == keyword:
            rows.append(fields[1:])
    return rows


def quartiles(values):
    """Median, first and third quartile (the spread shown), min and max."""
    ordered = sorted(values)
    if len(ordered) < 2:
        return ordered[0], ordered[0], ordered[0], ordered[0], ordered[0]
    q1, median, q3 = statistics.quantiles(ordered, n=4, method="inclusive")
    return median, q1, q3, ordered[0], ordered[-1]


def spread_text(values, fmt, unit=""):
    median, q1, q3, _, _ = quartiles(values)
    return f"{fmt.format(median)}{unit} (IQR {fmt.format(q1)}-{fmt.format(q3)}, n={len(values)})"


def verdict(ok, runs):
    if runs < MIN_REPETITIONS:
        return f"no verdict ({runs} runs)"
    return "met" if ok else "MISSED"


def median_interval(values, level=0.95):
    """A distribution-free confidence interval of the median: the order statistics x(k+1) and
    x(n-k) for the largest k whose binomial coverage is at least `level`; min and max when no k
    is (fewer than six runs)."""
    ordered = sorted(values)
    n = len(ordered)
    for k in range(n // 2, -1, -1):
        if sum(math.comb(n, i) for i in range(k + 1, n - k)) / 2 ** n >= level:
            return ordered[k], ordered[n - 1 - k]
    return ordered[0], ordered[-1]


def spread_verdict(values, goal):
    """From the median, with its uncertainty: met when the median's 95 % confidence interval is
    within the goal, missed when it is wholly beyond it. Not from the IQR: that is the spread of
    single runs, as wide for two builds of the same code on a noisy host as for any two programs."""
    if len(values) < MIN_REPETITIONS:
        return f"no verdict ({len(values)} runs)"
    low, high = median_interval(values)
    interval = f"median's 95 % CI {low:.3f}-{high:.3f}"
    if high <= goal:
        return f"met ({interval})"
    return f"MISSED ({interval})" if low > goal else f"inconclusive ({interval} straddles the goal)"


def startup_section(results, emulated):
    runs = {}
    shown = {}
    for name, index, ms, visible_ms in read_keyed_lines(results / "startup.txt", "run"):
        runs.setdefault(name, {})[int(index)] = float(ms)
        shown.setdefault(name, []).append(float(visible_ms))
    failed = read_keyed_lines(results / "startup.txt", "failed")
    where = "emulated " if emulated else ""
    rows = []
    with open(results / "startup.dat", "w") as data:
        for position, name in enumerate(n for n in STARTUP_NAMES if n in runs):
            values = list(runs[name].values())
            median, q1, q3, low, high = quartiles(values)
            data.write(f"{position} \"{name}\" {median} {q1} {q3} {low} {high}\n")
            rows.append((f"start-up to a painted window, {STARTUP_NAMES[name]}",
                         spread_text(values, "{:.0f}", " ms") +
                         f"; shown at {statistics.median(shown[name]):.0f} ms", "", where.strip()))
    if failed:
        rows.append(("start-up runs that failed", ", ".join(" ".join(f) for f in failed), "0", "MISSED"))

    def paired(top, bottom):
        # Ratios of the same round: both programs saw the same moment's load.
        common = sorted(set(runs.get(top, {})) & set(runs.get(bottom, {})))
        return [runs[top][i] / runs[bottom][i] for i in common]

    for top, bottom, label, goal in (
            ("program", "static", "program / static twin (the program's own work)", 1.10),
            ("static", "minimal", "static twin / minimal window (controls and the program's DLLs)", None),
            ("static", "imports", "static twin / minimal window with the program's DLLs (the controls alone)", None),
            ("imports", "minimal", "minimal with the program's DLLs / minimal (DLL loading)", None),
            ("traced", "program", "stamped build / program (the stamps' own cost)", None)):
        ratios = paired(top, bottom)
        if not ratios:
            continue
        rows.append((f"start-up ratio {label}", spread_text(ratios, "{:.3f}"),
                     f"<= {goal:.2f}" if goal else "", spread_verdict(ratios, goal) if goal else ""))
    for top, bottom in (("program", "static"), ("static", "imports"), ("imports", "minimal")):
        if top in runs and bottom in runs:
            difference = statistics.median(runs[top].values()) - statistics.median(runs[bottom].values())
            rows.append((f"start-up difference of medians, {top} - {bottom}", f"{difference:+.0f} ms", "", ""))

    # Where the stamped build's time goes: each phase runs from the previous stamp to its own.
    phase_rows = []
    stamps = {}
    stamp_file = results / "stamps.txt"
    if stamp_file.exists():
        for name, index, phase, ms in read_keyed_lines(stamp_file, "stamp"):
            if int(index) >= 0:
                stamps.setdefault(int(index), []).append((phase, float(ms)))
    durations = {}
    for index, sequence in stamps.items():
        previous = 0.0
        per_phase = {}
        for phase, ms in sequence:
            per_phase[phase] = per_phase.get(phase, 0.0) + ms - previous
            previous = ms
        painted = runs.get("traced", {}).get(index)
        if painted is not None and sequence[-1][0] == "paint":
            per_phase["painted"] = painted - previous
        for phase, ms in per_phase.items():
            durations.setdefault(phase, []).append(ms)
    for phase, label in PHASES + [("painted", "painting the window and its controls, seen by the launcher")]:
        if phase in durations:
            phase_rows.append((phase, label, spread_text(durations[phase], "{:.1f}", " ms")))
    if durations:
        total = sum(quartiles(v)[0] for v in durations.values())
        phase_rows.append(("sum", "sum of the phase medians",
                           f"{total:.0f} ms (median of the stamped build's runs: "
                           f"{statistics.median(runs['traced'].values()):.0f} ms)"))
    return rows, phase_rows


def bracketing_floors(path, largest, counts):
    """The floor of each run at the largest size: the mean of the pricings just before and just
    after it, in the order the benchmark processes printed them, so that load which came and went
    around a run weighs on the run and on its floor alike."""
    pricings, runs = [], []  # runs: the number of pricings seen before each run
    for line in pathlib.Path(path).read_text(errors="replace").splitlines():
        fields = line.split()
        if fields[:1] == ["call"]:
            if fields[2] == CALLS[0]:
                pricings.append({})
            pricings[-1][fields[2]] = float(fields[3])
        elif fields[:2] == ["discovery", str(largest)]:
            runs.append(len(pricings))
    floor = [sum(counts[c] * pricing[c] for c in CALLS) / 1000 for pricing in pricings]
    return [(floor[seen - 1] + floor[seen]) / 2 for seen in runs if 0 < seen < len(floor)]


def discovery_section(results, emulated):
    lines = results / "discovery.txt"
    times = {}
    found = {}
    for count, candidates, microseconds in read_keyed_lines(lines, "discovery"):
        times.setdefault(int(count), []).append(float(microseconds) / 1000)
        found[int(count)] = int(candidates)
    floors = {int(r[0]): dict(zip(r[1::2], map(int, r[2::2]))) for r in read_keyed_lines(lines, "floor")}
    prices = {}
    for _, name, microseconds in read_keyed_lines(lines, "call"):
        prices.setdefault(name, []).append(float(microseconds))
    steps = {}
    for name, microseconds in read_keyed_lines(lines, "step"):
        steps.setdefault(name, []).append(float(microseconds))
    price = {name: statistics.median(values) for name, values in prices.items()}
    where = "emulated" if emulated else ""

    def floor_ms(count):
        return sum(floors[count][call] * price[call] for call in CALLS) / 1000

    rows = []
    with open(results / "discovery.dat", "w") as data:
        for count in sorted(times):
            median, q1, q3, low, high = quartiles(times[count])
            data.write(f"{count} {median} {low} {high} {found[count]} {floor_ms(count)}\n")
            finds = floors[count]["finds"]
            per = f"; {median / finds * 1000:.0f} us per find" if finds else ""
            rows.append((f"discovery, {count} installations ({found[count]} candidates, as the fixture registers)",
                         spread_text(times[count], "{:.2f}", " ms") + per, "", where))
    for name in CALLS:
        if name in prices:
            rows.append((f"one {CALL_NAMES[name]}", spread_text(prices[name], "{:.1f}", " us"), "", where))
    largest = max(times)
    run_floors = bracketing_floors(lines, largest, floors[largest])
    if len(run_floors) != len(times[largest]):
        sys.exit(f"report: {len(times[largest])} discovery runs at {largest} but {len(run_floors)} priced around")
    ratios = [t / floor for t, floor in zip(times[largest], run_floors)]
    calls = ", ".join(f"{floors[largest][c]} {c}" for c in CALLS)
    rows.append((f"discovery floor at {largest} installations (priced calls: {calls})",
                 spread_text(run_floors, "{:.1f}", " ms"), "", where))
    rows.append((f"discovery / its floor at {largest} installations (each run over the calls priced around it)",
                 spread_text(ratios, "{:.3f}"), "<= 1.25", spread_verdict(ratios, 1.25)))
    for name, (label, bare) in STEP_NAMES.items():
        if name in steps:
            step = statistics.median(steps[name])
            against = f"; {step / price[bare]:.2f} x the bare call" if bare in price else ""
            rows.append((f"discovery step {label}", spread_text(steps[name], "{:.1f}", " us") + against, "", where))
    pairs = list(zip(times[500], times[100]))
    scaling = [a / b for a, b in pairs]
    rows.append(("discovery scaling 500/100", spread_text(scaling, "{:.2f}"), "<= 6",
                 spread_verdict(scaling, 6)))
    ms_500 = quartiles(times[500])[0]
    if emulated:
        # The 50 ms target is one for a machine that runs the program natively.
        rows.append(("discovery, 500 installations", f"{ms_500:.1f} ms, emulated", "< 50 ms (native)",
                     "not judged: emulated"))
    else:
        rows.append(("discovery, 500 installations", f"{ms_500:.1f} ms", "< 50 ms",
                     verdict(ms_500 < 50, len(times[500]))))
    return rows


def parser_section(results):
    benchmarks = json.loads((results / "parsers.json").read_text())["benchmarks"]
    repetitions = {}
    for b in benchmarks:
        if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
            continue
        unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
        name = b.get("run_name", b["name"])
        # Processor time: on a shared machine the wall clock also counts other people's work.
        repetitions.setdefault(name, []).append(
            {"ms": b["cpu_time"] * unit, "real_ms": b["real_time"] * unit,
             "bytes_per_second": b.get("bytes_per_second"), "items_per_second": b.get("items_per_second")})

    def values(name, key):
        return [r[key] for r in repetitions.get(name, []) if r[key] is not None]

    shapes = ["normal", "one_huge_line", "no_colons", "many_colons", "invalid_utf8"]
    sizes = (1 * KIB, 64 * KIB, 256 * KIB, 1024 * KIB, 4096 * KIB)
    with open(results / "parsers.dat", "w") as data:
        data.write("size " + " ".join(f"{s} {s}_low {s}_high" for s in shapes) + "\n")
        for size in sizes:
            cells = []
            for shape in shapes:
                rates = values(f"SettingsText/{shape}/{size}", "bytes_per_second")
                cells += ([f"{statistics.median(rates) / 1e6:.1f}", f"{min(rates) / 1e6:.1f}",
                           f"{max(rates) / 1e6:.1f}"] if rates else ["NaN"] * 3)
            data.write(f"{size} " + " ".join(cells) + "\n")
    rows = []
    for shape in shapes:
        small = values(f"SettingsText/{shape}/{64 * KIB}", "ms")
        large = values(f"SettingsText/{shape}/{1024 * KIB}", "ms")
        largest = values(f"SettingsText/{shape}/{4096 * KIB}", "ms")
        rates = values(f"SettingsText/{shape}/{1024 * KIB}", "bytes_per_second")
        if not (small and large and rates):
            continue
        # Repetition i of each size ran in the same pass, so their ratio is paired.
        linear = [(b / 16) / a for a, b in zip(small, large)]
        beyond = [(c / 4) / b for b, c in zip(large, largest)]
        rows.append((f"settings text 1 MiB, {shape.replace('_', ' ')}",
                     f"{statistics.median(rates) / 1e6:.0f} MB/s; per-byte time 1 MiB/64 KiB "
                     + spread_text(linear, "{:.2f}") + (f"; 4 MiB/1 MiB {statistics.median(beyond):.2f}" if beyond else ""),
                     "<= 1.5", verdict(statistics.median(linear) <= 1.5, len(linear))))
    load = values(f"LoadSettingsFile/{1024 * KIB}", "ms")
    rows.append(("settings file 1 MiB, whole load", spread_text(load, "{:.2f}", " ms") + " processor time",
                 "< 20 ms", verdict(statistics.median(load) < 20, len(load))))
    arguments = values("ParseArguments/10000", "ms")
    if arguments:
        rows.append(("ParseArguments, 10,000 tokens", spread_text(arguments, "{:.2f}", " ms"), "", ""))
    versions = values("ParseJavaVersions", "items_per_second")
    if versions:
        rows.append(("ParseJavaVersion, 30 real texts", f"{statistics.median(versions) / 1e6:.1f} M texts/s", "", ""))
    for size, label in ((64 * KIB, "64 KiB"), (1024 * KIB, "1 MiB")):
        text = values(f"ReleaseText/{size}", "bytes_per_second")
        whole = values(f"ReadReleaseFile/{size}", "ms")
        if text and whole:
            rows.append((f"release file {label}, key on the last line",
                         f"{statistics.median(text) / 1e6:.0f} MB/s scan; with the file read "
                         + spread_text(whole, "{:.2f}", " ms"), "", ""))
    return rows, min((len(v) for v in repetitions.values()), default=0)


def binary_section(results):
    stripped = int((results / "size-stripped.txt").read_text())
    unstripped = int((results / "size-unstripped.txt").read_text())
    imports = (results / "imports.txt").read_text().split()
    foreign = [dll for dll in imports if dll.lower() not in SYSTEM_DLLS and not dll.lower().startswith("api-ms-win-")]
    return [("binary, stripped", f"{stripped / 1e6:.2f} MB ({stripped} bytes; {unstripped} unstripped)",
             "< 1.5 MB", "met" if stripped < 1_500_000 else "MISSED"),
            ("DLL imports (the twins import the same, checked)", ", ".join(imports), "Windows' own",
             "met" if not foreign else "MISSED")]


def markdown_table(headers, rows):
    return [f"| {' | '.join(headers)} |", "|" + "---|" * len(headers)] + [f"| {' | '.join(r)} |" for r in rows]


def main():
    results = pathlib.Path(sys.argv[1])
    output = pathlib.Path(sys.argv[2])
    machine = dict(line.split("=", 1) for line in (results / "machine.txt").read_text().splitlines())
    emulated = machine.get("route") == "emulated"

    startup_rows, phase_rows = startup_section(results, emulated)
    discovery_rows = discovery_section(results, emulated)
    parser_rows, parser_repetitions = parser_section(results)
    rows = startup_rows + discovery_rows + parser_rows + binary_section(results)

    widths = [max(len(r[i]) for r in rows) for i in range(4)]
    for r in [("measure", "result", "target", "")] + rows:
        print("  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip())
    if phase_rows:
        print()
        for phase, label, figure in phase_rows:
            print(f"phase {phase:10} {label:60} {figure}")

    route_note = (
        "**The Windows side of these figures is emulated**: start-up and discovery ran under Wine whose "
        "32-bit half ran under qemu-i386 user emulation, so their absolute times are emulated times, "
        "several times a native run's. Compare them only with other emulated runs, never with native "
        "ones; the ratios set two programs that both ran emulated against each other, and absolute "
        "targets meant for native runs are not judged. The parser figures are native."
        if emulated else
        "Wine's 32-bit half ran natively: these Windows-side figures are comparable with other native "
        "runs only, never with runs on an emulated host.")
    md = ["Figures of one run of `make bench` (scripts/bench.sh), which rewrites this section and the plot. "
          "Each figure is the median of its runs with the interquartile range (IQR) and the number of runs; "
          "a ratio of two programs is the median of the ratios of runs taken in the same round.", "",
          "### The machine", "",
          f"- Wine's 32-bit half: {machine.get('route_text', 'unknown route')}",
          f"- {machine['cores']} cores ({machine['cpu']}), {machine['kernel']}",
          f"- {machine['wine']}, Xvfb 1280x1024x24, a fresh 64-bit prefix per measurement",
          f"- g++ {machine['gxx']} (native, Release), MinGW-w64 g++ {machine['mingw']} (i686, Release, static)",
          f"- load average {machine.get('load', '?')} (1, 5, 15 min) when the measurements ended: the "
          "machine is shared, and Wine's figures move with its load",
          f"- runs: start-up {machine.get('startup_runs', '?')} rounds, discovery {machine.get('discovery_repeats', '?')} "
          f"per size in {machine.get('discovery_processes', '1')} processes, parsers {parser_repetitions} repetitions",
          f"- commit {machine['commit']}, {machine['date']}", "", route_note, "",
          "### Results", ""]
    md += markdown_table(("measure", "result", "target", ""), rows)
    if phase_rows:
        md += ["", "### Where the program's start-up goes", "",
               "From the stamped build of the program (`startup_traced.exe`, the same sources with "
               "`KELVOR_STARTUP_TRACE`), timed in the same rounds; each phase ends at its stamp, counted from "
               "just before CreateProcessW.", ""]
        md += markdown_table(("phase", "what it holds", "time"), phase_rows)
    md += ["", "![Start-up per program, discovery time per number of installations against its floor, and "
           "settings-text throughput per input size, with their spreads](performance.png)"]
    replace_generated_section(output, "# Performance", "\n".join(md))


BEGIN = "<!-- begin: written by a script -->"
END = "<!-- end: written by a script -->"


def replace_generated_section(path, title, body):
    """Rewrites the text between the markers; the hand-written rest of the page stays."""
    text = path.read_text() if path.exists() else f"{title}\n\n{BEGIN}\n{END}\n"
    if BEGIN not in text or END not in text:
        text = text.rstrip() + f"\n\n{BEGIN}\n{END}\n"
    head, rest = text.split(BEGIN, 1)
    _, tail = rest.split(END, 1)
    path.write_text(f"{head}{BEGIN}\n{body}\n{END}{tail}")


if __name__ == "__main__":
    main()
