#!/usr/bin/env python3
"""Turns the raw results of scripts/bench.sh into one table, the plot's data files and
docs/performance.md. Usage: report_performance.py RESULTS_DIR OUTPUT_MD"""
import json
import statistics
import pathlib
import sys

# Windows' own DLLs; anything else in the import table would have to ship beside the program.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
    "comdlg32.dll", "comctl32.dll", "msvcrt.dll", "ntdll.dll", "shlwapi.dll", "uxtheme.dll",
    "oleaut32.dll", "version.dll",
}
KIB = 1024


def read_keyed_lines(path, keyword):
    rows = []
    for line in pathlib.Path(path).read_text(errors="replace").splitlines():
        fields = line.split()
        if fields and fields[0] == keyword:
            rows.append(fields[1:])
    return rows


def verdict(ok):
    return "met" if ok else "MISSED"


def main():
    results = pathlib.Path(sys.argv[1])
    output = pathlib.Path(sys.argv[2])
    machine = dict(line.split("=", 1) for line in (results / "machine.txt").read_text().splitlines())

    # Start-up.
    medians = {row[0]: (float(row[1]), int(row[2])) for row in read_keyed_lines(results / "startup.txt", "median")}
    runs = read_keyed_lines(results / "startup.txt", "run")
    program_ms, program_runs = medians["program"]
    minimal_ms, minimal_runs = medians["minimal"]
    ratio = program_ms / minimal_ms
    imports_ms, imports_runs = medians.get("imports", (0.0, 0))
    with open(results / "startup.dat", "w") as data:
        for name, index, ms, _ in runs:
            data.write(f"{name} {index} {ms}\n")
    visible = {}
    for name, _, _, visible_ms in runs:
        visible.setdefault(name, []).append(float(visible_ms))
    visible_median = {name: statistics.median(values) for name, values in visible.items()}

    # Discovery.
    discovery = [(int(r[0]), int(r[1]), float(r[2]), float(r[3]), float(r[4]), float(r[5]))
                 for r in read_keyed_lines(results / "discovery.txt", "discovery")]
    by_count = {row[0]: row for row in discovery}
    with open(results / "discovery.dat", "w") as data:
        for count, found, median, per_install, low, high in discovery:
            data.write(f"{count} {median} {low} {high} {found}\n")
    ms_500 = by_count[500][2]
    scaling = by_count[500][2] / by_count[100][2]

    calls = {" ".join(r[:-1]): float(r[-1]) for r in read_keyed_lines(results / "discovery.txt", "call")}

    # Parsers.
    benchmarks = json.loads((results / "parsers.json").read_text())["benchmarks"]
    parsers = {}
    for b in benchmarks:
        if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
            continue
        unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
        # Processor time: on a shared machine the wall clock also counts other people's work.
        parsers[b["name"]] = {"ms": b["cpu_time"] * unit, "real_ms": b["real_time"] * unit,
                              "bytes_per_second": b.get("bytes_per_second"),
                              "items_per_second": b.get("items_per_second")}
    shapes = ["normal", "one_huge_line", "no_colons", "many_colons", "invalid_utf8"]
    linearity = {}
    beyond_cache = {}
    with open(results / "parsers.dat", "w") as data:
        data.write("size " + " ".join(shapes) + "\n")
        for size in (1 * KIB, 64 * KIB, 256 * KIB, 1024 * KIB, 4096 * KIB):
            cells = []
            for shape in shapes:
                entry = parsers.get(f"SettingsText/{shape}/{size}")
                cells.append(f"{entry['bytes_per_second'] / 1e6:.1f}" if entry else "NaN")
            data.write(f"{size} " + " ".join(cells) + "\n")
    for shape in shapes:
        small = parsers.get(f"SettingsText/{shape}/{64 * KIB}")
        large = parsers.get(f"SettingsText/{shape}/{1024 * KIB}")
        if small and large:
            linearity[shape] = (large["ms"] / (1024 * KIB)) / (small["ms"] / (64 * KIB))
        largest = parsers.get(f"SettingsText/{shape}/{4096 * KIB}")
        if large and largest:
            beyond_cache[shape] = (largest["ms"] / (4096 * KIB)) / (large["ms"] / (1024 * KIB))
    load_1mib = parsers[f"LoadSettingsFile/{1024 * KIB}"]["ms"]

    # The binary.
    stripped = int((results / "size-stripped.txt").read_text())
    unstripped = int((results / "size-unstripped.txt").read_text())
    imports = (results / "imports.txt").read_text().split()
    foreign = [dll for dll in imports if dll.lower() not in SYSTEM_DLLS and not dll.lower().startswith("api-ms-win-")]

    rows = [
        ("start-up, program (median)",
         f"{program_ms:.1f} ms over {program_runs} runs (shown at {visible_median['program']:.1f} ms)", "", ""),
        ("start-up, minimal window (median)",
         f"{minimal_ms:.1f} ms over {minimal_runs} runs (shown at {visible_median['minimal']:.1f} ms)", "", ""),
        ("start-up, minimal window importing the program's DLLs",
         f"{imports_ms:.1f} ms over {imports_runs} runs (shown at {visible_median.get('imports', 0):.1f} ms)", "", ""),
        ("start-up ratio program/minimal", f"{ratio:.2f} ({program_ms - minimal_ms:+.1f} ms)", "<= 1.3",
         verdict(ratio <= 1.3)),
    ]
    for count, found, median, per_install, low, high in discovery:
        per = f", {per_install:.3f} ms each" if count else ""
        rows.append((f"discovery, {count} installations", f"{median:.2f} ms ({found} candidates{per})", "", ""))
    rows.append(("discovery, 500 installations", f"{ms_500:.2f} ms", "< 50 ms", verdict(ms_500 < 50)))
    for call, microseconds in calls.items():
        rows.append((f"one {call} under Wine", f"{microseconds:.1f} us", "", ""))
    rows.append(("discovery scaling 500/100", f"{scaling:.2f}", "<= 6", verdict(scaling <= 6)))
    for shape in shapes:
        entry = parsers.get(f"SettingsText/{shape}/{1024 * KIB}")
        if entry:
            rows.append((f"settings text 1 MiB, {shape.replace('_', ' ')}",
                         f"{entry['bytes_per_second'] / 1e6:.0f} MB/s; per-byte time 1 MiB/64 KiB "
                         f"{linearity.get(shape, 0):.2f}, 4 MiB/1 MiB {beyond_cache.get(shape, 0):.2f}",
                         "<= 1.5", verdict(linearity.get(shape, 99) <= 1.5)))
    load_real = parsers[f"LoadSettingsFile/{1024 * KIB}"]["real_ms"]
    rows.append(("settings file 1 MiB, whole load", f"{load_1mib:.2f} ms processor time ({load_real:.2f} ms wall)",
                 "< 20 ms", verdict(load_1mib < 20)))
    arguments = parsers.get("ParseArguments/10000")
    if arguments:
        rows.append(("ParseArguments, 10,000 tokens", f"{arguments['ms']:.2f} ms, {arguments['items_per_second'] / 1e6:.1f} M tokens/s", "", ""))
    versions = parsers.get("ParseJavaVersions")
    if versions:
        rows.append(("ParseJavaVersion, 30 real texts", f"{versions['items_per_second'] / 1e6:.1f} M texts/s", "", ""))
    for size, label in ((64 * KIB, "64 KiB"), (1024 * KIB, "1 MiB")):
        text = parsers.get(f"ReleaseText/{size}")
        whole = parsers.get(f"ReadReleaseFile/{size}")
        if text and whole:
            rows.append((f"release file {label}, key on the last line",
                         f"{text['bytes_per_second'] / 1e6:.0f} MB/s scan, {whole['ms']:.2f} ms with the file read", "", ""))
    rows.append(("binary, stripped", f"{stripped / 1e6:.2f} MB ({stripped} bytes; {unstripped} unstripped)",
                 "< 1.5 MB", verdict(stripped < 1_500_000)))
    rows.append(("DLL imports", ", ".join(imports), "Windows' own", verdict(not foreign)))

    widths = [max(len(r[i]) for r in rows) for i in range(4)]
    headers = ("measure", "result", "target", "")
    table_lines = ["  ".join(h.ljust(w) for h, w in zip(headers, widths)).rstrip()]
    table_lines += ["  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip() for r in rows]
    print("\n".join(table_lines))

    md = ["Figures of one run of `make bench` (scripts/bench.sh), which rewrites this section and the plot.", "",
          "### The machine", "",
          f"- {machine['cores']} cores ({machine['cpu']}), {machine['kernel']}",
          f"- {machine['wine']}, Xvfb 1280x1024x24, a fresh 64-bit prefix per measurement",
          f"- g++ {machine['gxx']} (native, Release), MinGW-w64 g++ {machine['mingw']} (i686, Release, static)",
          f"- load average {machine.get('load', '?')} (1, 5, 15 min) when the measurements ended: the "
          "machine is shared, and Wine's figures move with its load",
          f"- commit {machine['commit']}, {machine['date']}", "",
          "### Results", "",
          "| measure | result | target | |", "|---|---|---|---|"]
    md += [f"| {r[0]} | {r[1]} | {r[2]} | {r[3]} |" for r in rows]
    md += ["", "![Start-up runs, discovery time per number of installations, and settings-text throughput per "
           "input size](performance.png)"]
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
