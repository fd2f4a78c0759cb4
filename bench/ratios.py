#!/usr/bin/env python3
"""Paired program/baseline ratios from a Google Benchmark JSON file of a run with
--benchmark_enable_random_interleaving=true --benchmark_repetitions=N.

Usage: bench/ratios.py RESULT.json PROGRAM_NAME BASELINE_NAME [PROGRAM_NAME BASELINE_NAME ...]
Names are full run names as the JSON gives them (e.g. BM_CalcolaClassifiche/10000).
For each pair, repetition i of the program is divided by repetition i of the baseline;
prints the median of those ratios with the smallest and the largest, for wall-clock and for
CPU time (the latter is steadier on a shared machine)."""
import json
import statistics
import sys


def times(runs, name, field):
    out = {}
    for r in runs:
        if r.get("run_type") != "iteration" or r.get("run_name", r["name"]) != name:
            continue
        out[r.get("repetition_index", 0)] = r[field]
    return out


def main():
    data = json.load(open(sys.argv[1]))
    runs = data["benchmarks"]
    args = sys.argv[2:]
    for program, baseline in zip(args[0::2], args[1::2]):
        for field in ("real_time", "cpu_time"):
            p, b = times(runs, program, field), times(runs, baseline, field)
            reps = sorted(set(p) & set(b))
            if not reps:
                print(f"{program} / {baseline}: no paired repetitions")
                break
            ratios = [p[i] / b[i] for i in reps]
            unit = next(r["time_unit"] for r in runs if r.get("run_name", r["name"]) == program)
            print(f"{program} / {baseline} {field[:-5]:>4}: median {statistics.median(ratios):.2f}x "
                  f"(min {min(ratios):.2f}, max {max(ratios):.2f}, n {len(reps)}); "
                  f"medians {statistics.median(p.values()):.2f} / {statistics.median(b.values()):.2f} {unit}")


if __name__ == "__main__":
    main()
