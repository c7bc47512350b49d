#!/usr/bin/env python3
"""Sums up the libFuzzer logs of scripts/fuzz.sh: one table printed and written into the
results section of docs/reliability.md.
Usage: report_reliability.py RESULTS_DIR RUNS OUTPUT_MD TARGET..."""
import os
import pathlib
import platform
import re
import subprocess
import sys

from report_performance import replace_generated_section

BEGIN_TITLE = "# Reliability"


def summarize(results, target):
    log_path = results / f"{target}.log"
    if not log_path.exists():
        return None
    log = log_path.read_text(errors="replace")
    stats = dict(re.findall(r"^stat::(\w+):\s+(\d+)", log, re.M))
    coverage = re.findall(r"cov: (\d+) ft: (\d+) corp: (\d+)/", log)
    elapsed = re.search(r"elapsed_milliseconds=(\d+) exit_status=(\d+)", log)
    artifacts = sorted(p.name for p in results.glob(f"{target}-*") if not p.name.endswith(".log"))
    reports = len(re.findall(r"ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:", log))
    executions = int(stats.get("number_of_executed_units", 0))
    milliseconds = int(elapsed.group(1)) if elapsed else 0
    return {
        "executions": executions,
        "per_second": executions * 1000 // milliseconds if milliseconds else 0,
        "edges": int(coverage[-1][0]) if coverage else 0,
        "features": int(coverage[-1][1]) if coverage else 0,
        "corpus": int(coverage[-1][2]) if coverage else 0,
        "seconds": milliseconds // 1000,
        "status": int(elapsed.group(2)) if elapsed else -1,
        "findings": artifacts if artifacts else ([f"{reports} sanitizer reports"] if reports else []),
    }


def main():
    results = pathlib.Path(sys.argv[1])
    runs = int(sys.argv[2])
    output = pathlib.Path(sys.argv[3])
    targets = sys.argv[4:]
    rows = []
    for target in targets:
        s = summarize(results, target)
        if s is None:
            rows.append((target, "not run", "", "", "", "", "not built"))
            continue
        findings = ", ".join(s["findings"]) if s["findings"] else ("none" if s["status"] == 0 else f"exit {s['status']}")
        rows.append((target, f"{s['executions']:,}", f"{s['per_second']:,}", str(s["edges"]), str(s["features"]),
                     f"{s['corpus']} inputs, {s['seconds']} s", findings))
    headers = ("target", "executions", "exec/s", "edges", "features", "corpus, time", "findings")
    widths = [max(len(r[i]) for r in rows + [headers]) for i in range(len(headers))]
    for r in [headers] + rows:
        print("  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip())

    clang = subprocess.run(["clang++", "--version"], capture_output=True, text=True).stdout.splitlines()
    cap = os.environ.get("FUZZ_MAX_SECONDS")
    limit = f", capped at {int(cap):,} s per target (FUZZ_MAX_SECONDS)" if cap else ""
    parallel = int(os.environ.get("FUZZ_PARALLEL", "1"))
    md = [f"Figures of one run of `make fuzz` (scripts/fuzz.sh) with FUZZ_RUNS={runs:,} executions per "
          f"target{limit}, {parallel} target(s) at a time; the executions column gives what actually ran. "
          "The script rewrites this section.", "",
          f"- {clang[0] if clang else 'clang'}, libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer "
          "(every finding aborts), the whole core instrumented",
          f"- {platform.system()} {platform.release()}, inputs up to 64 KiB, 10 s per input at most", "",
          "| target | executions | exec/s | edges | features | corpus, time | findings |",
          "|---|---|---|---|---|---|---|"]
    md += ["| " + " | ".join(r) + " |" for r in rows]
    replace_generated_section(output, BEGIN_TITLE, "\n".join(md))


if __name__ == "__main__":
    main()
