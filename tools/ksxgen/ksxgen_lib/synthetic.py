"""A synthetic register description of a chosen number of register classes, shaped like the
chip's own (mostly narrow registers with a few fields, some wide ones, some reset values,
a few secure ones), for measuring generation and compile time."""

import os
import random

REGS_PER_BLOCK = 100


def synthetic_docs(n):
    """Yields (file name, YAML text) for n register classes, REGS_PER_BLOCK per block."""
    rnd = random.Random(7100)
    nblocks = -(-n // REGS_PER_BLOCK)
    for b in range(nblocks):
        count = min(REGS_PER_BLOCK, n - b * REGS_PER_BLOCK)
        lines = ["# Synthetic block %d: %d registers." % (b, count),
                 "block: syn%04d" % b, "byte_size: 0x10000", "children:"]
        for r in range(count):
            nfields = rnd.choice((1, 1, 2, 3, 4, 6, 8, 12))
            wide = rnd.random() < 0.1
            fields = []
            for f in range(nfields):
                w = rnd.choice((1, 1, 2, 4, 8, 14, 16, 32)) if not wide else rnd.choice((16, 32, 64, 100))
                reset = rnd.randrange(1 << min(w, 16)) if rnd.random() < 0.15 else None
                fields.append("f%d:%d%s" % (f, w, "" if reset is None else "=%d" % reset))
            kind = rnd.choice(("cfg", "cfg", "sta", "cnt", "sat"))
            line = "  - {name: %s_r%d, fields: [%s]%s}" % (
                kind, r, ", ".join(fields), ", secure: true" if rnd.random() < 0.07 else "")
            lines.append(line)
        yield "syn%04d.yaml" % b, "\n".join(lines) + "\n"


def write_synthetic(n, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    count = 0
    for name, text in synthetic_docs(n):
        with open(os.path.join(out_dir, name), "w", encoding="utf-8") as fh:
            fh.write(text)
        count += 1
    return count
