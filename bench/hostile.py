"""Times the checker on hostile inputs and on a clean definition of about
the same size, and prints each one's time and time per megabyte. The bound
the project keeps: every input within a small constant factor of a clean
definition of its size.

usage: hostile.py CHECKER [SCRATCH_DIR]
"""

import os
import pathlib
import random
import statistics
import subprocess
import sys
import time

MB = 1 << 20


def clean(size):
    """Plain structures of ten fields each, about `size` bytes."""
    out, i = [], 0
    while sum(map(len, out)) < size:
        fields = "".join(f" int<0..{j + 9}> f{j};" for j in range(10))
        out.append(f"struct M{i} {{{fields} }};\n")
        i += 1
    return "".join(out)


def hostile_inputs():
    rnd = random.Random(7)
    yield "nested bodies (100 000)", "struct a { " * 100000 + "} " * 100000 + ";"
    yield "nested comments (100 000)", "/* " * 100000 + " */" * 100000 + "\nbool b;"
    yield "10 MB line", "bool b; " * (10 * MB // 8)
    yield "1 MB word", "bool " + "n" * MB + ";"
    yield "1 MB const expression", "const <" + "c" * MB + "> k;"
    yield "1 MB pattern", "ascii<1..2 /" + "p" * MB + "/> s;"
    yield "NUL and high bytes", "".join(rnd.choice("ab {};<>\0\x80\xff") for _ in range(MB))
    yield "random bytes", "".join(chr(rnd.randrange(256)) for _ in range(MB))
    yield "10 000 modules", "".join(f"module M{i}; bool b; endmodule;\n" for i in range(10000))
    yield "chain of 100 000 references", "".join(
        f"struct S{i} {{ S{i + 1} n; }};\n" for i in range(100000)) + "struct S100000 { bool b; };\n"
    yield "reference cycle of 12", "".join(f"L{(i + 1) % 12} L{i};\n" for i in range(12))
    yield "doubling DAG of 40 levels", "struct S0 { bool b; };\n" + "".join(
        f"struct S{i} {{ S{i - 1} a; S{i - 1} b; }};\n" for i in range(1, 41))
    yield "plug into its own body", ("module M;\nstruct T { bool a; };\n"
                                     "plug struct s { bool x; }; into T.s, T;\n")


def median_seconds(checker, path, runs=3):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run([checker, path.name], cwd=path.parent, stdout=subprocess.DEVNULL,
                       check=False)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def main():
    checker = os.path.abspath(sys.argv[1])
    scratch = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 else "build-bench/hostile")
    scratch.mkdir(parents=True, exist_ok=True)
    print(f"| input | MB | seconds | ms/MB | clean ms/MB | ratio |")
    print(f"|---|---:|---:|---:|---:|---:|")
    for name, text in hostile_inputs():
        path = scratch / "hostile.tlq"
        path.write_bytes(text.encode("latin-1"))
        size = len(text) / MB
        seconds = median_seconds(checker, path)
        reference = scratch / "clean.tlq"
        reference.write_text(clean(max(len(text), 64 * 1024)))
        clean_seconds = median_seconds(checker, reference)
        clean_size = reference.stat().st_size / MB
        per_mb = 1000 * seconds / max(size, 1 / 16)
        clean_per_mb = 1000 * clean_seconds / clean_size
        print(f"| {name} | {size:.2f} | {seconds:.3f} | {per_mb:.1f} | {clean_per_mb:.1f} | "
              f"{per_mb / clean_per_mb:.2f} |")


if __name__ == "__main__":
    main()
