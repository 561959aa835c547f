#!/usr/bin/env python3
"""Prints one table of every benchmark figure against its target.

Reads the JSON results of the bench_* programs and the bench/*.targets files, whose lines are
tab-separated: figure, benchmark (or numerator/denominator), max_ms or max_ratio, target.
A benchmark written name@counter names one of its user counters instead of its time; its kind is
max_pct (a percentage) or max_ratio (counter/counter).
"""
import glob
import json
import os
import re
import sys

UNIT_TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
# Fields of a benchmark entry that are not user counters.
BENCH_FIELDS = {"family_index", "per_family_instance_index", "repetitions", "repetition_index", "threads",
                "iterations", "real_time", "cpu_time"}


def normalise(name):
    name = name.strip()
    name = re.sub(r"_median$", "", name)
    name = re.sub(r"/repeats:\d+", "", name)
    return name


def load_medians(result_dir):
    """Median times in ms by benchmark name, and median counters as name@counter."""
    medians = {}
    for path in glob.glob(os.path.join(result_dir, "*.json")):
        with open(path) as f:
            data = json.load(f)
        singles = {}
        for b in data.get("benchmarks", []):
            ms = b["real_time"] * UNIT_TO_MS[b.get("time_unit", "ns")]
            key = normalise(b.get("run_name", b["name"]))
            counters = {k: v for k, v in b.items() if isinstance(v, (int, float)) and k not in BENCH_FIELDS}
            if b.get("run_type") == "aggregate":
                if b.get("aggregate_name") == "median":
                    medians[key] = ms
                    for k, v in counters.items():
                        medians[f"{key}@{k}"] = v
            else:
                singles.setdefault(key, []).append(ms)
                for k, v in counters.items():
                    singles.setdefault(f"{key}@{k}", []).append(v)
        for key, values in singles.items():
            if key not in medians:
                values.sort()
                medians[key] = values[len(values) // 2]
    return medians


def ratio(pair, medians):
    """numerator/denominator, where names may hold '/' themselves: take the split both sides know."""
    parts = pair.split("/")
    for i in range(1, len(parts)):
        a = medians.get(normalise("/".join(parts[:i])))
        b = medians.get(normalise("/".join(parts[i:])))
        if a is not None and b:
            return a / b
    return None


def main():
    source_dir, result_dir = sys.argv[1], sys.argv[2]
    medians = load_medians(result_dir)
    rows = []
    failures = 0
    for path in sorted(glob.glob(os.path.join(source_dir, "bench", "*.targets"))):
        with open(path, encoding="utf-8") as f:
            for line in f:
                if not line.strip() or line.startswith("#"):
                    continue
                figure, bench, kind, target = [p.strip() for p in line.rstrip("\n").split("\t")]
                target = float(target)
                if kind == "max_ratio":
                    value = ratio(bench, medians)
                    shown = "n/a" if value is None else f"{value:.3f}x"
                    goal = f"<= {target:g}x"
                elif kind == "max_pct":
                    value = medians.get(normalise(bench))
                    shown = "n/a" if value is None else f"{value:.3g} %"
                    goal = f"<= {target:g} %"
                else:
                    value = medians.get(normalise(bench))
                    shown = "n/a" if value is None else f"{value:.4g} ms"
                    goal = f"<= {target:g} ms"
                ok = value is not None and value <= target
                failures += not ok
                rows.append((figure, shown, goal, "pass" if ok else "falls short"))
    widths = [max(len(r[i]) for r in rows + [("figure", "median", "target", "result")]) for i in range(4)]
    header = ("figure", "median", "target", "result")
    for r in [header] + rows:
        print("  ".join(c.ljust(w) for c, w in zip(r, widths)))
    print(f"\n{len(rows) - failures} passed, {failures} failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
