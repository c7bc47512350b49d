#!/usr/bin/env python3
"""Turns the raw results of scripts/bench.sh into one table, the plot's data files and
docs/performance.md. Every median, spread, ratio and verdict is computed here from the raw runs.
Usage: report_performance.py RESULTS_DIR OUTPUT_MD"""
import csv
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
    "static_again": "static twin, second copy in the same round (A/A)",
    "imports": "minimal window importing the program's DLLs",
    "minimal": "minimal window",
    "traced": "the program, stamped build",
}
PHASES = [  # stamp name, what the phase holds (it ends at the stamp)
    ("loader", "process creation, DLL loading, runtime start-up (to wWinMain)"),
    ("identity", "application user model id"),
    ("settings", "command line and settings"),
    ("class", "window class (icon, cursor, display driver)"),
    ("discovery", "Java discovery"),
    ("font", "message font for the monitor the window opens on"),
    ("plan", "measuring the texts; where the window and each control go"),
    ("window", "CreateWindowExW, up to WM_CREATE"),
    ("controls", "creating the fifteen controls where they go, filling the comboboxes"),
    ("fit", "checking the window's size against its contents"),
    ("values", "showing the settings in the controls"),
    ("created", "the rest of CreateWindowExW (WM_SIZE, WM_MOVE)"),
    ("show", "ShowWindow"),
    ("paint", "until the first WM_PAINT"),
    ("idle", "painting the window and its controls, until the queue is empty"),
]
# Moments both the stamped program and the static twin reach, counted from wWinMain's entry: the
# program's stamp and the twin's.
MILESTONES = [
    ("class", "class", "the window class registered"),
    ("created", "controls", "the window and its fifteen controls created"),
    ("show", "show", "ShowWindow returned"),
    ("idle", "idle", "idle after the first paint"),
]
ROUTE_LABELS = {"native": "native route", "emulated": "emulated", "changed": "route changed during the run"}
DIFFERENCE_GOAL_MS = 10.0  # program - static twin, native route, on the CI's upper bound
DISCOVERY_GOAL = 1.15  # program / reference, at 10 and at 500 installations
DISCOVERY_SLOTS = ("program", "reference", "program_again", "reference_again")
# Two-sided 95 % quantiles of Student's t for 1 to 30 degrees of freedom.
T_975 = [12.706, 4.303, 3.182, 2.776, 2.571, 2.447, 2.365, 2.306, 2.262, 2.228, 2.201, 2.179,
         2.160, 2.145, 2.131, 2.120, 2.110, 2.101, 2.093, 2.086, 2.080, 2.074, 2.069, 2.064,
         2.060, 2.056, 2.052, 2.048, 2.045, 2.042]


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


def interval_verdict(low, high, goal, fmt):
    interval = f"95 % CI {fmt.format(low)} to {fmt.format(high)}"
    if high <= goal:
        return f"met ({interval})"
    return f"MISSED ({interval})" if low > goal else f"inconclusive ({interval} straddles the goal)"


def process_interval(values):
    """Student's t interval of the mean over processes, each process one value: the runs of one
    process share its prefix, its address space and whatever the host did meanwhile, so they are
    not independent of each other; the processes are."""
    n = len(values)
    mean = statistics.fmean(values)
    if n < 2:
        return mean, mean, mean
    half = T_975[min(n - 1, len(T_975)) - 1] * statistics.stdev(values) / math.sqrt(n)
    return mean, mean - half, mean + half


def startup_section(results, route, csv_rows):
    emulated = route != "native"
    runs = {}
    shown = {}
    for name, index, ms, visible_ms, slot in read_keyed_lines(results / "startup.txt", "run"):
        runs.setdefault(name, {})[int(index)] = float(ms)
        shown.setdefault(name, []).append(float(visible_ms))
        csv_rows.append(("startup", 1, index, slot, name, "painted", ms, "ms"))
        csv_rows.append(("startup", 1, index, slot, name, "shown", visible_ms, "ms"))
    failed = read_keyed_lines(results / "startup.txt", "failed")
    where = ROUTE_LABELS.get(route, route)
    rows = []
    with open(results / "startup.dat", "w") as data:
        for position, name in enumerate(n for n in STARTUP_NAMES if n in runs):
            values = list(runs[name].values())
            median, q1, q3, low, high = quartiles(values)
            data.write(f"{position} \"{name}\" {median} {q1} {q3} {low} {high}\n")
            rows.append((f"start-up to a painted window, {STARTUP_NAMES[name]}",
                         spread_text(values, "{:.0f}", " ms") +
                         f"; shown at {statistics.median(shown[name]):.0f} ms", "", where))
    if failed:
        rows.append(("start-up runs that failed", ", ".join(" ".join(f) for f in failed), "0", "MISSED"))

    # In each process, from the stamp at wWinMain's entry to the one when it is idle after painting.
    stamps = {}
    stamp_file = results / "stamps.txt"
    if stamp_file.exists():
        for name, index, phase, ms in read_keyed_lines(stamp_file, "stamp"):
            if int(index) >= 0:
                stamps.setdefault(name, {}).setdefault(int(index), []).append((phase, float(ms)))
                csv_rows.append(("stamp", 1, index, "", name, phase, ms, "ms"))
    inside = {}
    for name, by_round in stamps.items():
        for index, sequence in by_round.items():
            marks = dict(sequence)
            if "loader" in marks and "idle" in marks:
                inside.setdefault(name, {})[index] = marks["idle"] - marks["loader"]
    inside_names = {"traced": "program (stamped build)", "static": "static twin",
                    "static_again": "static twin, second copy", "imports": "minimal window with the DLLs",
                    "minimal": "minimal window"}
    for name, label in inside_names.items():
        if name in inside:
            rows.append((f"inside the process, entry to idle after the first paint, {label}",
                         spread_text(list(inside[name].values()), "{:.1f}", " ms"), "", where))

    def differences(source, top, bottom):
        # Differences of the same round: both programs saw the same moment's load.
        common = sorted(set(source.get(top, {})) & set(source.get(bottom, {})))
        return [source[top][i] - source[bottom][i] for i in common]

    def difference_row(label, values, goal):
        if not values:
            return
        low, high = median_interval(values)
        judged = ""
        if goal is not None:
            judged = (f"not judged: {where} (the goal is for the native route)" if emulated
                      else interval_verdict(low, high, goal, "{:+.1f}") if len(values) >= MIN_REPETITIONS
                      else f"no verdict ({len(values)} rounds)")
        elif len(values) >= MIN_REPETITIONS:
            judged = f"median's 95 % CI {low:+.1f} to {high:+.1f} ms"
        rows.append((label, spread_text(values, "{:+.1f}", " ms"),
                     f"<= {goal:.0f} ms, CI's upper bound" if goal is not None else "", judged))

    for label, source, top, bottom, goal in (
            ("program - static twin, inside the process (stamped builds), per round",
             inside, "traced", "static", DIFFERENCE_GOAL_MS),
            ("A/A: static twin - its second copy, inside the process, per round",
             inside, "static_again", "static", None),
            ("program - static twin, start to a painted window as the user sees it, per round",
             runs, "program", "static", DIFFERENCE_GOAL_MS),
            ("A/A: static twin - its second copy, start to a painted window, per round",
             runs, "static_again", "static", None),
            ("stamped build - program, start to a painted window (the stamps' own cost)",
             runs, "traced", "program", None),
            ("static twin - minimal window with the DLLs (the fifteen controls)",
             runs, "static", "imports", None),
            ("minimal window with the DLLs - minimal window (loading the DLLs)",
             runs, "imports", "minimal", None)):
        difference_row(label, differences(source, top, bottom), goal)
    common = sorted(set(runs.get("program", {})) & set(runs.get("static", {})))
    ratios = [runs["program"][i] / runs["static"][i] for i in common]
    if ratios:
        low, high = median_interval(ratios)
        rows.append(("start-up ratio program / static twin", spread_text(ratios, "{:.3f}"), "",
                     f"median's 95 % CI {low:.3f}-{high:.3f}"))

    # Where the difference to the twin arises: both reach the same moments, each counted from entry.
    milestone_rows = []
    for program_stamp, twin_stamp, label in MILESTONES:
        values = []
        for index in sorted(set(stamps.get("traced", {})) & set(stamps.get("static", {}))):
            program, twin = dict(stamps["traced"][index]), dict(stamps["static"][index])
            if {program_stamp, "loader"} <= program.keys() and {twin_stamp, "loader"} <= twin.keys():
                values.append((program[program_stamp] - program["loader"]) -
                              (twin[twin_stamp] - twin["loader"]))
        if len(values) >= MIN_REPETITIONS:
            low, high = median_interval(values)
            milestone_rows.append((label, spread_text(values, "{:+.1f}", " ms"),
                                   f"{low:+.1f} to {high:+.1f} ms"))

    # Where the stamped build's time goes: each phase runs from the previous stamp to its own.
    phase_rows = []
    durations = {}
    for index, sequence in stamps.get("traced", {}).items():
        previous = 0.0
        per_phase = {}
        for phase, ms in sequence:
            per_phase[phase] = per_phase.get(phase, 0.0) + ms - previous
            previous = ms
        for phase, ms in per_phase.items():
            durations.setdefault(phase, []).append(ms)
    for phase, label in PHASES:
        if phase in durations:
            phase_rows.append((phase, label, spread_text(durations[phase], "{:.1f}", " ms")))
    if durations:
        total = sum(quartiles(v)[0] for v in durations.values())
        phase_rows.append(("sum", "sum of the phase medians",
                           f"{total:.0f} ms (median of the stamped build's runs to a painted window, "
                           f"seen by the launcher: {statistics.median(runs['traced'].values()):.0f} ms)"))
    return rows, phase_rows, milestone_rows


def discovery_section(results, route, csv_rows):
    """Each process times the program and the reference in turn, twice each per round; every
    measure is a per-round ratio, summarised per process by its median, and the interval is taken
    over the processes."""
    times = {}  # (process, count, round) -> {slot: ms}
    process = 0
    for line in (results / "discovery.txt").read_text(errors="replace").splitlines():
        fields = line.split()
        if fields[:1] == ["process"]:
            process = int(fields[1])
        elif fields[:1] == ["discovery"]:
            count, index, slot, microseconds = fields[1:]
            round_times = times.setdefault((process, int(count), int(index)), {})
            csv_rows.append(("discovery", process, index, len(round_times), slot, count,
                             f"{float(microseconds) / 1000:.4f}", "ms"))  # slot: the order run
            round_times[slot] = float(microseconds) / 1000
    where = ROUTE_LABELS.get(route, route)
    counts = sorted({count for _, count, _ in times})
    processes = sorted({p for p, _, _ in times})

    def per_process(count, measure):
        medians = []
        for p in processes:
            values = [measure(t) for (q, c, _), t in times.items() if q == p and c == count]
            if values:
                medians.append(statistics.median(values))
        return medians

    rows = []
    with open(results / "discovery.dat", "w") as data:
        for count in counts:
            program = [t["program"] for (_, c, _), t in times.items() if c == count]
            reference = [t["reference"] for (_, c, _), t in times.items() if c == count]
            pm, pq1, pq3, _, _ = quartiles(program)
            rm, rq1, rq3, _, _ = quartiles(reference)
            data.write(f"{count} {pm} {pq1} {pq3} {rm} {rq1} {rq3}\n")
            rows.append((f"discovery, {count} installations, the program (FindJavaInstallations)",
                         spread_text(program, "{:.2f}", " ms"), "", where))
            rows.append((f"discovery, {count} installations, the reference (the least calls)",
                         spread_text(reference, "{:.2f}", " ms"), "", where))
    for count in counts:
        for label, measure, goal in (
                ("program / reference", lambda t: t["program"] / t["reference"],
                 DISCOVERY_GOAL if count in (10, 500) else None),
                ("A/A: program, second run / first", lambda t: t["program_again"] / t["program"], None),
                ("A/A: reference, second run / first", lambda t: t["reference_again"] / t["reference"], None)):
            medians = per_process(count, measure)
            mean, low, high = process_interval(medians)
            rounds = sum(1 for (_, c, _) in times if c == count)
            text = (f"{mean:.3f} (mean of {len(medians)} process medians, "
                    f"{min(medians):.3f} to {max(medians):.3f}; {rounds} rounds)")
            if goal is None:
                judged = f"95 % CI {low:.3f} to {high:.3f}"
            elif len(medians) < 5:
                judged = f"no verdict ({len(medians)} processes, at least 5 needed)"
            else:
                judged = interval_verdict(low, high, goal, "{:.3f}")
            rows.append((f"discovery {label}, {count} installations", text,
                         f"<= {goal:.2f}, CI's upper bound" if goal else "", judged))
    if 100 in counts and 500 in counts:
        scaling = [a / b for a, b in zip(per_process(500, lambda t: t["program"]),
                                         per_process(100, lambda t: t["program"]))]
        mean, low, high = process_interval(scaling)
        rows.append(("discovery scaling 500/100, the program (per process medians)",
                     f"{mean:.2f} ({len(scaling)} processes)", "<= 6",
                     interval_verdict(low, high, 6, "{:.2f}") if len(scaling) >= 5 else ""))
    return rows, len(processes), max((i for _, _, i in times), default=0)


def parser_section(results, csv_rows):
    benchmarks = json.loads((results / "parsers.json").read_text())["benchmarks"]
    repetitions = {}
    for b in benchmarks:
        if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
            continue
        unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
        name = b.get("run_name", b["name"])
        csv_rows.append(("parser", 0, b.get("repetition_index", 0), "", name, "cpu_time",
                         f"{b['cpu_time'] * unit:.6f}", "ms"))
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
    # A run whose route changed half-way is judged as emulated: nothing native is claimed from it.
    emulated = machine.get("route") in ("emulated", "changed")

    csv_rows = []
    startup_rows, phase_rows, milestone_rows = startup_section(results, machine.get("route", "?"), csv_rows)
    discovery_rows, discovery_processes, discovery_rounds = discovery_section(results, machine.get("route", "?"), csv_rows)
    parser_rows, parser_repetitions = parser_section(results, csv_rows)
    rows = startup_rows + discovery_rows + parser_rows + binary_section(results)
    # Every run of this report, raw, beside the page: each figure can be recomputed from it.
    with open(output.with_name(output.stem + "-runs.csv"), "w", newline="") as raw:
        writer = csv.writer(raw)
        writer.writerow(("measure", "process", "round", "slot", "program", "detail", "value", "unit"))
        writer.writerows(csv_rows)

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
    md = ["Figures of one run of `make bench` (scripts/bench.sh), which rewrites this section, the plot and "
          "`performance-runs.csv`. A single figure is the median of its runs with the interquartile range (IQR). "
          "Start-up is compared round by round: each difference is that of two programs started in the same "
          "round, with the distribution-free 95 % confidence interval of its median. The discovery is compared "
          "inside each process: each ratio is that of two runs in the same round, each process contributes the "
          "median of its rounds, and the 95 % interval is Student's t over the processes. An A/A row sets a "
          "program against itself the same way, and shows what no difference looks like.", "",
          "### The machine", "",
          f"- Wine's 32-bit half: {machine.get('route_text', 'unknown route')}",
          f"- {machine['cores']} cores ({machine['cpu']}), {machine['kernel']}",
          f"- {machine['wine']}, Xvfb 1280x1024x24, a fresh 64-bit prefix per measurement",
          f"- g++ {machine['gxx']} (native, Release), MinGW-w64 g++ {machine['mingw']} (i686, Release, static)",
          f"- load average {machine.get('load_start', '?')} when the measurements began and "
          f"{machine.get('load', '?')} when they ended (1, 5, 15 min): the machine is shared, and Wine's "
          "figures move with its load",
          f"- runs: start-up {machine.get('startup_runs', '?')} rounds (the order turned each round), "
          f"discovery {discovery_rounds} rounds per size in each of {discovery_processes} processes, "
          f"parsers {parser_repetitions} repetitions; raw runs in `performance-runs.csv`",
          f"- commit {machine['commit']}, {machine['date']}", "", route_note, "",
          "### Results", ""]
    md += markdown_table(("measure", "result", "target", ""), rows)
    if phase_rows:
        md += ["", "### Where the program's start-up goes", "",
               "From the stamped build of the program (`startup_traced.exe`, the same sources with "
               "`KELVOR_STARTUP_TRACE`), timed in the same rounds; each phase ends at its stamp, counted from "
               "just before CreateProcessW in the launcher.", ""]
        md += markdown_table(("phase", "what it holds", "time"), phase_rows)
    if milestone_rows:
        md += ["", "Where the difference to the static twin arises: per round, the stamped program's time from "
               "wWinMain's entry to each moment both reach, minus the twin's, with the median's 95 % interval.", ""]
        md += markdown_table(("moment", "program - static twin", "95 % CI"), milestone_rows)
    md += ["", "![Start-up per program, discovery time per number of installations against the reference, and "
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
