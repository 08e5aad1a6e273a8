#!/usr/bin/env python3
"""Prints the benchmark table from the measurements that bench/run wrote.

    report.py RESULTS [NOTE...]

RESULTS has one line per timed run, tab-separated:
    messages  program  input_bytes  seconds  peak_kib
Each NOTE is printed under the tables. Markdown output, ready for the README.
"""

import statistics
import sys

ORDER = ["taloqchk", "taloqdump", "protoc", "flatc", "floor"]
MB = 1e6


def load(path):
    runs = {}
    with open(path) as handle:
        for line in handle:
            messages, program, size, seconds, kib = line.split("\t")
            entry = runs.setdefault((int(messages), program),
                                    {"bytes": int(size), "times": [], "kib": []})
            entry["times"].append(float(seconds))
            entry["kib"].append(int(kib))
    return runs


def main(argv):
    runs = load(argv[1])
    notes = argv[2:]
    sizes = sorted({messages for messages, _ in runs})
    programs = [p for p in ORDER if any((n, p) in runs for n in sizes)]
    stats = {}
    for key, entry in runs.items():
        median = statistics.median(entry["times"])
        stats[key] = {
            "mb": entry["bytes"] / MB,
            "median": median,
            "peak": max(entry["kib"]) * 1024 / MB,
            "runs": len(entry["times"]),
        }

    for n in sizes:
        base = stats.get((n, "taloqchk"))
        floor = stats.get((n, "floor"))
        inputs = ", ".join("%s %.2f MB" % (label, stats[(n, p)]["mb"])
                           for label, p in (("Taloq", "taloqchk"), ("proto", "protoc"),
                                            ("fbs", "flatc")) if (n, p) in stats)
        print("### %d messages (%s)" % (n, inputs))
        print()
        print("| program | input MB | median s | peak MB | peak/input | MB/s "
              "| time / taloqchk | ms per MB | runs |")
        print("|---|---:|---:|---:|---:|---:|---:|---:|---:|")
        for p in programs:
            s = stats.get((n, p))
            if s is None:
                continue
            ratio = "%.2f" % (s["median"] / base["median"]) if base else "-"
            print("| %s | %.2f | %.4f | %.1f | %.1f | %.1f | %s | %.2f | %d |" % (
                p, s["mb"], s["median"], s["peak"], s["peak"] / s["mb"],
                s["mb"] / s["median"], ratio, 1000 * s["median"] / s["mb"], s["runs"]))
        if base and floor:
            print()
            print("taloqchk / floor: %.1f" % (base["median"] / floor["median"]))
        print()

    print("### Time per MB (ms) by size")
    print()
    header = ["%.1f MB" % stats[(n, "taloqchk")]["mb"] if (n, "taloqchk") in stats
              else "%d msgs" % n for n in sizes]
    print("| program | %s | largest / smallest |" % " | ".join(header))
    print("|---|%s---:|" % ("---:|" * len(sizes)))
    for p in programs:
        cells, values = [], []
        for n in sizes:
            s = stats.get((n, p))
            if s is None:
                cells.append("-")
                continue
            value = 1000 * s["median"] / s["mb"]
            values.append(value)
            cells.append("%.2f" % value)
        trend = "%.2f" % (values[-1] / values[0]) if len(values) > 1 else "-"
        print("| %s | %s | %s |" % (p, " | ".join(cells), trend))
    print_targets(stats, sizes)
    for note in notes:
        print()
        print(note)
    return 0


def print_targets(stats, sizes):
    """The performance targets, judged at the size nearest to 21 MB."""
    with_checker = [n for n in sizes if (n, "taloqchk") in stats]
    if not with_checker:
        return
    n = min(with_checker, key=lambda m: abs(stats[(m, "taloqchk")]["mb"] - 21))
    chk = stats[(n, "taloqchk")]

    def time_of(program):
        s = stats.get((n, program))
        return s["median"] if s else None

    rows = [("taloqchk MB/s", chk["mb"] / chk["median"], ">=", 200)]
    if time_of("flatc"):
        rows.append(("flatc time / taloqchk time", time_of("flatc") / chk["median"], ">=", 20))
    if time_of("protoc"):
        rows.append(("protoc time / taloqchk time", time_of("protoc") / chk["median"], ">=", 100))
    if time_of("floor"):
        rows.append(("taloqchk time / floor time", chk["median"] / time_of("floor"), "<=", 5))
    rows.append(("taloqchk peak memory / input size", chk["peak"] / chk["mb"], "<=", 3))
    if len(with_checker) > 1:
        first, last = stats[(with_checker[0], "taloqchk")], stats[(with_checker[-1], "taloqchk")]
        rows.append(("taloqchk ms per MB, largest / smallest size",
                     (last["median"] / last["mb"]) / (first["median"] / first["mb"]), "<=", 1.3))
    if time_of("flatc") and time_of("taloqdump"):
        rows.append(("flatc time / taloqdump time", time_of("flatc") / time_of("taloqdump"), ">=", 5))
    print()
    print("### Targets (at %.1f MB)" % chk["mb"])
    print()
    print("| measure | value | target | met |")
    print("|---|---:|---:|---|")
    for label, value, sense, target in rows:
        met = value >= target if sense == ">=" else value <= target
        print("| %s | %.2f | %s %g | %s |" % (label, value, sense, target, "yes" if met else "no"))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
