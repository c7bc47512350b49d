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


def summarize_pass(results, target, name):
    directory = results / f"{target}.{name}"
    log_path = directory / "pass.log"
    if not log_path.exists():
        return None
    settings = dict(re.findall(r"(\w+)=(\d+)", log_path.read_text(errors="replace").splitlines()[-1]))
    executions = 0
    coverage = (0, 0)
    reports = 0
    for job in sorted(directory.glob("fuzz-*.log")):
        log = job.read_text(errors="replace")
        executions += int(dict(re.findall(r"^stat::(\w+):\s+(\d+)", log, re.M)).get("number_of_executed_units", 0))
        found = re.findall(r"cov: (\d+) ft: (\d+)", log)
        if found:
            coverage = max(coverage, tuple(map(int, found[-1])))
        reports += len(re.findall(r"ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:", log))
    milliseconds = int(settings.get("elapsed_milliseconds", 0))
    asked = int(settings.get("asked_runs", 0))
    return {
        "executions": executions, "asked": asked, "max_len": int(settings.get("max_len", 0)),
        "seconds": milliseconds / 1000, "cap": int(settings.get("cap_seconds", 0)),
        "per_second": executions * 1000 // milliseconds if milliseconds else 0,
        "edges": coverage[0], "features": coverage[1], "reports": reports,
        "status": int(settings.get("exit_status", -1)),
        # Jobs share out the runs evenly, so up to one run per job may be lost to the division.
        "capped": executions + 16 < asked,
    }


def main():
    results = pathlib.Path(sys.argv[1])
    runs = int(sys.argv[2])
    output = pathlib.Path(sys.argv[3])
    targets = sys.argv[4:]
    rows = []
    for target in targets:
        passes = [p for p in (summarize_pass(results, target, name) for name in ("small", "large")) if p]
        if not passes:
            rows.append((target, "not run", "", "", "", "", "", "", "not built"))
            continue
        corpus = sum(1 for f in (results / f"{target}.corpus").glob("*") if f.is_file())
        artifacts = sorted(p.name for p in results.glob(f"{target}-*"))
        reports = sum(p["reports"] for p in passes)
        failed = [p["status"] for p in passes if p["status"] != 0]
        findings = ", ".join(artifacts) if artifacts else (
            f"{reports} sanitizer reports" if reports else (f"exit {failed[0]}" if failed else "none"))
        total = sum(p["executions"] for p in passes)
        capped = [f"{p['max_len']:,}-byte pass at its {p['cap']} s cap" for p in passes if p["capped"]]
        rows.append((target, f"{total:,}" + (" (cap hit: " + "; ".join(capped) + ")" if capped else ""),
                     " / ".join(f"{p['executions']:,} at {p['per_second']:,}/s" for p in passes),
                     str(max(p["edges"] for p in passes)), str(max(p["features"] for p in passes)),
                     f"{corpus} inputs", f"{sum(p['seconds'] for p in passes):.0f} s",
                     # What the asked runs would take at the rates this run measured: a projection.
                     f"{sum(p['asked'] / p['per_second'] for p in passes if p['per_second']):,.0f} s",
                     findings))
    headers = ("target", "executions", "small / 64 KiB pass", "edges", "features", "corpus", "time",
               "asked runs at these rates", "findings")
    widths = [max(len(r[i]) for r in rows + [headers]) for i in range(len(headers))]
    for r in [headers] + rows:
        print("  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip())

    clang = subprocess.run(["clang++", "--version"], capture_output=True, text=True).stdout.splitlines()
    workers = os.environ.get("FUZZ_WORKERS", "?")
    budget = int(os.environ.get("FUZZ_BUDGET_SECONDS", "0"))
    md = [f"Figures of one run of `make fuzz` (scripts/fuzz.sh) asking FUZZ_RUNS={runs:,} executions per target, "
          f"most at a small maximum length and a share at 64 KiB, {workers} jobs per pass (libFuzzer's jobs mode), "
          f"all targets together capped at {budget:,} s; the executions column gives what actually ran and says "
          "when a cap ended a pass first. The script rewrites this section.", "",
          f"- {clang[0] if clang else 'clang'}, libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer "
          "(every finding aborts), the whole core instrumented",
          f"- {platform.system()} {platform.release()}, {os.cpu_count()} cores, 10 s per input at most", "",
          "| " + " | ".join(headers) + " |", "|" + "---|" * len(headers)]
    md += ["| " + " | ".join(r) + " |" for r in rows]
    replace_generated_section(output, BEGIN_TITLE, "\n".join(md))


if __name__ == "__main__":
    main()
