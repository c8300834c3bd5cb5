#!/usr/bin/env python3
"""Turns the JSON output of the benchmark programs into the tables of bench/README.md.

Every benchmark is named CASE/IMPL: IMPL is "ours" (or "ours_VARIANT") or the name of a
reference library; CASE names the input and its size. For each case, each of our variants is
compared with each reference: the ratio is our median time over the reference's median time
(below 1: we are faster). Peak memory (the counter "peak_bytes") is compared the same way.

  tabulate.py OUT.md RESULT.json...     writes the tables into OUT.md between the markers
"""
import json
import os
import re
import sys

BEGIN = "<!-- tables: written by bench/refresh.sh -->"
END = "<!-- end of tables -->"
# What Google Benchmark appends to a name: arguments and run settings.
SUFFIX = re.compile(r"^(real_time|manual_time|process_time|iterations:\d+|repeats:\d+|min_time:[\d.]+s?|-?\d+)$")
UNITS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def split_name(run_name):
    parts = run_name.split("/")
    while parts and SUFFIX.match(parts[-1]):
        parts.pop()
    if len(parts) < 2:
        return None, None
    return "/".join(parts[:-1]), parts[-1]


def read(path):
    with open(path) as f:
        data = json.load(f)
    medians = {}  # (case, impl) -> (milliseconds, peak bytes or None)
    # Runs with interleaved repetitions come out in a random order: keep the order in which
    # the program declares its benchmarks, so that the columns stay where they were.
    runs = sorted(data["benchmarks"], key=lambda b: (b.get("family_index", 0), b.get("per_family_instance_index", 0)))
    for b in runs:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        case, impl = split_name(b.get("run_name", b["name"]))
        if case is None:
            continue
        ms = b["real_time"] * UNITS[b["time_unit"]]
        peak = b.get("peak_bytes")
        medians[(case, impl)] = (ms, peak)
    return data["context"], medians


def fmt_ms(ms):
    return f"{ms:.3g} ms" if ms >= 0.1 else f"{ms * 1000:.3g} us"


def table(program, medians):
    cases = []
    for case, _ in medians:
        if case not in cases:
            cases.append(case)
    refs = []
    for _, impl in medians:
        if not impl.startswith("ours") and impl not in refs:
            refs.append(impl)
    lines = [f"### {program}", ""]
    lines.append("| case | ours | time | " + " | ".join(f"/ {r}" for r in refs) + " |")
    lines.append("|---|---|---|" + "---|" * len(refs))
    memory = []
    for case in cases:
        for (c, impl), (ms, peak) in medians.items():
            if c != case or not impl.startswith("ours"):
                continue
            cells = []
            for r in refs:
                ref = medians.get((case, r))
                cells.append(f"{ms / ref[0]:.2f} ({fmt_ms(ref[0])})" if ref else "")
            lines.append(f"| {case} | {impl} | {fmt_ms(ms)} | " + " | ".join(cells) + " |")
            if peak:
                mcells = []
                for r in refs:
                    ref = medians.get((case, r))
                    mcells.append(f"{peak / ref[1]:.2f} ({ref[1] / 2**20:.1f} MiB)" if ref and ref[1] else "")
                memory.append(f"| {case} | {impl} | {peak / 2**20:.1f} MiB | " + " | ".join(mcells) + " |")
    if memory:
        lines += ["", "Peak heap memory of one decode:", ""]
        lines.append("| case | ours | peak | " + " | ".join(f"/ {r}" for r in refs) + " |")
        lines.append("|---|---|---|" + "---|" * len(refs))
        lines += memory
    return lines + [""]


def main():
    out, results = sys.argv[1], sys.argv[2:]
    body = []
    context = None
    for path in results:
        context, medians = read(path)
        program = context["executable"].split("/")[-1]
        body += table(program, medians)
    head = [
        BEGIN,
        "",
        f"Measured {context['date'][:16].replace('T', ' ')} on {os.environ.get('BENCH_MACHINE', '?')}; "
        f"load average (1, 5, 15 minutes) {os.environ.get('BENCH_LOAD', '?')}.",
        "Cells: our median time over the reference's (below 1: ours is faster), the reference's "
        "median time in brackets. Median of 5 repetitions, one core.",
        "",
    ]
    with open(out) as f:
        text = f.read()
    start, end = text.find(BEGIN), text.find(END)
    if start < 0 or end < 0:
        sys.exit(f"{out}: the markers are missing")
    with open(out, "w") as f:
        f.write(text[:start] + "\n".join(head + body) + "\n" + text[end:])


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main()
