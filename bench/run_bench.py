#!/usr/bin/env python3
"""Maps generated designs of growing size and prints the cost table.

Usage: run_bench.py SYN_TOOL [--max-cells N] [--start-blocks K] [--seed S] [--repeat R]
                    [--chain L] [--writers | --instructions] [--keep DIR]

For each size (the number of blocks doubles each step) it generates a design,
runs `syn-tool -o` on it R times (5 by default; the best time counts, as on a
shared machine the others only add what other work took), and measures the
wall time, the tool's own split into reading, mapping and writing (--time),
the peak memory (the operating system's accounting of the child
process), and an I/O floor measured in the same run: reading the four input
files and writing a file of the netlist's size (the best of three tries, as
the floor is the least the machine needs for it).

With --writers it compares the two output formats instead: for each size it
maps the design R times writing the netlist and R times writing it as a
Verilog module, both to /dev/null, and prints the best writing time
(--time) of each and their ratio. Writing to the null device leaves out
the copy into the page cache and the sync, which cost the same per byte
for both; the netlist writer writes after mapping there, as it does for
any output that is not a file replaced through a temporary.

With --instructions it counts the instructions of one run of each size
instead, under valgrind's cachegrind without its cache model: a count that
does not depend on what else the machine is doing, so its doubling ratio
shows whether the work per cell stays flat, apart from the caches and the
memory that make the wall time of the larger rows grow a little faster.

With --chain L every block carries its accumulator to the adder through L
transfers inside the data net, which the mapping rules do not map: each is
reported as a mapping problem (exit status 3), and the walks along those
chains are what such a design measures.
"""
import argparse
import os
import re
import resource
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TABLES = ("io.txt", "global.txt", "local.txt", "data.txt")


TIME_LINE = re.compile(r"syn-tool: time: reading ([0-9.]+) s, mapping ([0-9.]+) s, "
                       r"writing ([0-9.]+) s;[^\n]*\n")


def run_measured(argv, accepted_statuses):
    """Runs argv with --time; returns (wall seconds, peak resident KiB, the
    tool's own (reading, mapping, writing) seconds)."""
    start = time.perf_counter()
    proc = subprocess.Popen(argv + ["--time"], stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    # Standard error is read to its end first: a run reporting many mapping
    # problems would otherwise fill the pipe and wait for us forever.
    err = proc.stderr.read().decode(errors="replace")
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    proc.stderr.close()
    proc.returncode = os.waitstatus_to_exitcode(status)
    steps = TIME_LINE.search(err)
    if proc.returncode not in accepted_statuses or not steps:
        sys.exit(f"syn-tool failed (status {proc.returncode}):\n{err}")
    return wall, usage.ru_maxrss, tuple(float(x) for x in steps.groups())


def io_floor(design, size, scratch):
    """Seconds to read the four tables and write `size` bytes to a file."""
    start = time.perf_counter()
    for name in TABLES:
        with open(os.path.join(design, name), "rb") as f:
            while f.read(1 << 20):
                pass
    chunk = b"x" * (1 << 20)
    with open(scratch, "wb") as f:
        left = size
        while left > 0:
            f.write(chunk[:min(left, len(chunk))])
            left -= len(chunk)
    return time.perf_counter() - start


def count_cells(netlist):
    with open(netlist, "rb") as f:
        return sum(1 for line in f if not line.startswith(b" "))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("syn_tool")
    # 160 blocks doubled six times make a design of just over a million cells,
    # eight times just over four million.
    parser.add_argument("--max-cells", type=int, default=4_000_000)
    parser.add_argument("--start-blocks", type=int, default=160)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--chain", type=int, default=0)
    table = parser.add_mutually_exclusive_group()
    table.add_argument("--writers", action="store_true",
                       help="compare the netlist and Verilog writers instead")
    table.add_argument("--instructions", action="store_true",
                       help="count the instructions of each size under valgrind instead")
    parser.add_argument("--keep", help="leave the designs and netlists in this folder")
    args = parser.parse_args()
    if args.instructions and not shutil.which("valgrind"):
        sys.exit("run_bench.py: --instructions needs valgrind (Debian package valgrind)")

    work = args.keep or tempfile.mkdtemp(prefix="syn-bench-")
    os.makedirs(work, exist_ok=True)
    header = ("cells", "input B", "netlist B", "wall s", "read/map/write s", "peak MiB", "cells/s",
              "x per 2x", "x I/O floor")
    if args.writers:
        header = ("cells", "netlist writer s", "Verilog writer s", "Verilog / netlist")
    elif args.instructions:
        header = ("cells", "instructions", "per cell", "x per 2x")
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    blocks, previous = args.start_blocks, None
    try:
        while True:
            design = os.path.join(work, f"d{blocks}")
            subprocess.run([sys.executable, os.path.join(HERE, "gen_design.py"), str(blocks), design,
                            "--seed", str(args.seed), "--chain", str(args.chain)], check=True)
            if args.writers:
                cells = writers_row(args, design)
            elif args.instructions:
                cells, previous = instructions_row(args, design, previous)
            else:
                cells, previous = cost_row(args, design, previous)
            if not args.keep:
                shutil.rmtree(design)
            if cells >= args.max_cells:
                break
            blocks *= 2
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)


def cost_row(args, design, previous):
    """Prints the cost row of one design; returns its cells and wall time."""
    netlist = os.path.join(design, "out.net")
    argv = [args.syn_tool, "-o", netlist] + [os.path.join(design, t) for t in TABLES]
    runs = []
    for _ in range(max(1, args.repeat)):
        # Each run writes a new file, as the floor does: replacing the
        # last run's netlist would add the freeing of its blocks.
        if os.path.exists(netlist):
            os.remove(netlist)
        # Nor does a run wait for the disk to take the last run's
        # bytes: those are written out before it starts.
        os.sync()
        runs.append(run_measured(argv, (0, 3) if args.chain else (0,)))
    best = min(runs, key=lambda run: run[0])
    wall = best[0]
    steps = "/".join(f"{x:.2f}" for x in best[2])
    peak_kib = max(run[1] for run in runs)
    cells = count_cells(netlist)
    in_bytes = sum(os.path.getsize(os.path.join(design, t)) for t in TABLES)
    out_bytes = os.path.getsize(netlist)
    os.sync()
    floor = min(io_floor(design, out_bytes, os.path.join(design, "floor.tmp"))
                for _ in range(3))
    os.remove(os.path.join(design, "floor.tmp"))
    ratio = f"{wall / previous:.2f}" if previous else "-"
    print(f"| {cells} | {in_bytes} | {out_bytes} | {wall:.3f} | {steps} | {peak_kib / 1024:.0f} "
          f"| {cells / wall:,.0f} | {ratio} | {wall / floor:.1f} |", flush=True)
    return cells, wall


INSTRUCTIONS_LINE = re.compile(r"I\s+refs:\s+([0-9,]+)")


def instructions_row(args, design, previous):
    """Prints the instruction count of one run of the design; returns its
    cells and count."""
    netlist = os.path.join(design, "out.net")
    argv = ["valgrind", "--tool=cachegrind", "--cache-sim=no", "--cachegrind-out-file=/dev/null",
            args.syn_tool, "-o", netlist] + [os.path.join(design, t) for t in TABLES]
    proc = subprocess.run(argv, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE)
    err = proc.stderr.decode(errors="replace")
    count = INSTRUCTIONS_LINE.search(err)
    if proc.returncode not in ((0, 3) if args.chain else (0,)) or not count:
        sys.exit(f"syn-tool under valgrind failed (status {proc.returncode}):\n{err}")
    instructions = int(count.group(1).replace(",", ""))
    cells = count_cells(netlist)
    ratio = f"{instructions / previous:.3f}" if previous else "-"
    print(f"| {cells} | {instructions:,} | {instructions / cells:,.0f} | {ratio} |", flush=True)
    return cells, instructions


def writers_row(args, design):
    """Prints the writers' row of one design; returns its cells."""
    tables = [os.path.join(design, t) for t in TABLES]
    best = []
    for fmt in ("netlist", "verilog"):
        runs = [run_measured([args.syn_tool, "-o", "/dev/null", "--format", fmt] + tables, (0,))
                for _ in range(max(1, args.repeat))]
        best.append(min(run[2][2] for run in runs))
    netlist = os.path.join(design, "out.net")
    run_measured([args.syn_tool, "-o", netlist] + tables, (0,))
    cells = count_cells(netlist)
    print(f"| {cells} | {best[0]:.3f} | {best[1]:.3f} | {best[1] / best[0]:.2f} |", flush=True)
    return cells


if __name__ == "__main__":
    main()
