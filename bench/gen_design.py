#!/usr/bin/env python3
"""Writes a valid design of any size: K blocks in one global control ring.

Each block is a small multiply-accumulate controller: two loads from input
ports, a multiplier that writes back into its own operand register (with its
delay cell), an adder fed through an operand multiplexer from a register and
a constant, a comparator branch against a constant, and two transfers into an
output port through a register multiplexer. Block k's names carry the suffix
"_k"; the global ring runs G1_0, G2_0, G1_1, G2_1, ... back to G1_0.

Usage: gen_design.py BLOCKS OUT_DIR [--seed N] [--width W]
The seed varies the widths and constants, never the shape, so every design
maps without any message.
"""
import argparse
import os
import random

# Names take up to 19 characters; the letters stand at 40, 45 and 50, the
# constant's value at 55 and the relation in its fixed field at 60..69.
COLS = [0, 20, 40, 45, 50, 55, 60]


def row(*fields):
    """One table line with each field at the start of its 10-character column."""
    line = ""
    for col, text in zip(COLS, fields):
        if text == "":
            continue
        assert col == 0 or len(line) < col, f"field before {text!r} too long"
        line = line.ljust(col) + text
    return line.rstrip() + "\n"


def block_io(k, width):
    s = f"_{k}"
    return "".join(
        [f"input [{width}] din{s}\n", f"input [{width}] bin{s}\n", f"output [{width}] dout{s}\n",
         f"reg [{width}] a{s}\n", f"reg [{width}] b{s}\n", f"reg [{width}] acc{s}\n"])


def block_global(k, blocks):
    s, prev = f"_{k}", f"_{(k - 1) % blocks}"
    return "".join([
        row(f"G1{s}", f"g2{prev}", "i", "", "G"),
        row(f"G1{s}", f"rdy{s}", "i", "", "L"),
        row(f"G1{s}", f"g1{s}", "o", "", "G"),
        row(f"G1{s}", f"go{s}", "o", "", "L"),
        row(f"G2{s}", f"g1{s}", "i", "", "G"),
        row(f"G2{s}", f"fin{s}", "i", "", "L"),
        row(f"G2{s}", f"g2{s}", "o", "", "G"),
        row(f"G2{s}", f"rdy{s}", "o", "", "L"),
    ])


def block_local(k):
    s = f"_{k}"
    arcs = [("Lgo", "go", "i"), ("Lgo", "la", "o"), ("Lgo", "lb", "o"),
            ("Lmul", "ka", "i"), ("Lmul", "kb", "i"), ("Lmul", "mg", "o"), ("Lmul", "q2", "o"),
            ("Lcmp", "af", "i"), ("Lcmp", "cg", "o"),
            ("Lsmall", "small", "i"), ("Lsmall", "q1", "o"),
            ("Lbig", "big", "i"), ("Lbig", "ls", "o"),
            ("Lend", "dn", "i"), ("Lend", "fin", "o")]
    return "".join(row(t + s, p + s, d) for t, p, d in arcs)


def chain_lines(length):
    """Transfers that carry acc on to x through `length` places of the data
    net alone before op_x1's value reaches the adder."""
    lines = []
    for j in range(length):
        source, sink = ("x0", "kx0") if j == 0 else (f"x{j}", f"kx{j}")
        lines += [(f"ch{j + 1}", source, "i", "d"), (f"ch{j + 1}", sink, "i", "c"),
                  (f"ch{j + 1}", f"x{j + 1}" if j + 1 < length else "x", "o", "d"),
                  (f"ch{j + 1}", f"kx{j + 1}" if j + 1 < length else "kx", "o", "c")]
    return lines


def block_data(k, rng, chain=0):
    s = f"_{k}"
    limit = rng.randrange(1, 16)
    x, kx = ("x0", "kx0") if chain else ("x", "kx")
    lines = [
        ("ld_a", "din", "i", "d", "I"), ("ld_a", "a", "o", "d", "V"),
        ("ld_a", "la", "i", "c"), ("ld_a", "ka", "o", "c"),
        ("ld_b", "bin", "i", "d", "I"), ("ld_b", "b", "o", "d", "V"),
        ("ld_b", "lb", "i", "c"), ("ld_b", "kb", "o", "c"),
        ("mul1", "a", "i", "d", "V", "", "mul"), ("mul1", "b", "i", "d", "V"),
        ("mul1", "mg", "i", "c"), ("mul1", "b", "o", "d", "V"), ("mul1", "md", "o", "c"),
        ("op_x1", "acc", "i", "d", "V"), ("op_x1", "q1", "i", "c"),
        ("op_x1", x, "o", "d"), ("op_x1", kx, "o", "c"),
        *chain_lines(chain),
        ("op_x2", "one", "i", "d", "C", "1"), ("op_x2", "q2", "i", "c"),
        ("op_x2", "x", "o", "d"), ("op_x2", "kx", "o", "c"),
        ("sadd", "x", "i", "d", "", "", "add"), ("sadd", "b", "i", "d", "V"),
        ("sadd", "kx", "i", "c"), ("sadd", "md", "i", "c"),
        ("sadd", "acc", "o", "d", "V"), ("sadd", "af", "o", "c"), ("sadd", "kf", "o", "c"),
        ("cmp1", "big", "o", "c", "", "", ">="), ("cmp1", "acc", "i", "d", "V"),
        ("cmp1", "lim", "i", "d", "C", str(limit)), ("cmp1", "cg", "i", "c"),
        ("cmp1", "small", "o", "c"),
        ("out1", "acc", "i", "d", "V"), ("out1", "ls", "i", "c"),
        ("out1", "dout", "o", "d", "O"), ("out1", "kout", "o", "c"),
        ("out2", "b", "i", "d", "V"), ("out2", "md", "i", "c"),
        ("out2", "dout", "o", "d", "O"), ("out2", "dn", "o", "c"), ("out2", "kout", "o", "c"),
    ]
    out = []
    for fields in lines:
        t, p, rest = fields[0], fields[1], list(fields[2:])
        out.append(row(t + s, p + s, *rest))
    return "".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("blocks", type=int)
    parser.add_argument("out_dir")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--width", type=int, default=0, help="fixed width (default: 4 to 16 by seed)")
    parser.add_argument("--chain", type=int, default=0,
                        help="transfers between the accumulator and the adder (default: none)")
    args = parser.parse_args()
    if args.blocks < 1:
        parser.error("BLOCKS must be at least 1")
    rng = random.Random(args.seed)
    os.makedirs(args.out_dir, exist_ok=True)
    files = {name: open(os.path.join(args.out_dir, name), "w")
             for name in ("io.txt", "global.txt", "local.txt", "data.txt")}
    files["io.txt"].write("Generated design\nIO specification\n----\n")
    files["global.txt"].write("Generated global control net\n" + row("trans", "place", "io", "x", "net"))
    files["local.txt"].write("Generated local control net\n" + row("trans", "place", "io"))
    files["data.txt"].write("Generated data net\n" +
                            row("trans", "place", "io", "dc", "ty", "val", "rel"))
    for k in range(args.blocks):
        width = args.width or rng.randrange(4, 17)
        files["io.txt"].write(block_io(k, width))
        files["global.txt"].write(block_global(k, args.blocks))
        files["local.txt"].write(block_local(k))
        files["data.txt"].write(block_data(k, rng, args.chain))
    for f in files.values():
        f.close()


if __name__ == "__main__":
    main()
