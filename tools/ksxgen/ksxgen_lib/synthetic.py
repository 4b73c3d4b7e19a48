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


# ---- full scale: a description with the chip's class counts and the shape of its top map -----

FULL_REGISTERS = 6187
FULL_MEMORIES = 321
FULL_DECODERS = 493
FULL_BLOCKS = 140
DECODERS_PER_FILE = 100

# Shapes counted in regs/*.yaml: register widths, fields per register, field widths (weights).
REG_WIDTHS = ((1, 196), (2, 144), (3, 98), (4, 35), (6, 14), (8, 7), (12, 3), (16, 5),
              (32, 454), (34, 3), (56, 3), (64, 68), (79, 6), (100, 3), (128, 4), (194, 2))
FIELDS_PER_REG = ((1, 440), (2, 245), (3, 229), (4, 62), (5, 33), (6, 17), (7, 13), (8, 8),
                  (10, 4), (12, 4), (13, 2), (16, 1), (23, 1))
FIELD_WIDTHS = ((1, 1513), (2, 23), (3, 21), (4, 83), (8, 43), (10, 10), (11, 13), (14, 16),
                (15, 31), (16, 177), (24, 33), (28, 11), (30, 48), (31, 78), (32, 243), (64, 30))
# Memories: entry counts and entry widths the chip uses (large counts shrink to fit their block).
MEM_COUNTS = (16, 16, 64, 192, 256, 256, 256, 1024, 1024, 2048, 2048, 2048, 2048, 2048, 2048,
              2048, 4096, 4096, 16384, 524288, 524288, 524288, 1048576)
MEM_WIDTHS = (13, 16, 29, 32, 32, 32, 39, 57, 64, 64, 75, 80, 108, 128, 128)


def _pick(rnd, weighted):
    return rnd.choices([v for v, _ in weighted], [w for _, w in weighted])[0]


def _pow2(n):
    p = 1
    while p < n:
        p <<= 1
    return p


def _reg_bytes(width):
    return _pow2(max(width, 32)) // 8


def _fields(rnd, width, allow_policy=True):
    """Field list (short form) of a register of the given width, bit 0 upward."""
    n = min(_pick(rnd, FIELDS_PER_REG), width)
    widths = []
    left = width
    for _ in range(n - 1):
        if left <= 1:
            break
        w = _pick(rnd, FIELD_WIDTHS)
        if w >= left:
            w = rnd.randint(1, left - 1)
        widths.append(w)
        left -= w
    widths.append(left)
    out = []
    for i, w in enumerate(widths):
        text = "f%d:%d" % (i, w)
        if rnd.random() < 0.15:
            text += "=%d" % rnd.randrange(1 << min(w, 16))
        if allow_policy:
            p = rnd.random()
            if p < 0.08:
                text += " ro"
            elif p < 0.10:
                text += " w1c"
        out.append(text)
    return out


def _yaml_list(items):
    return "[%s]" % ", ".join('"%s"' % i if " " in i or "[" in i else i for i in items)


class _Block:
    """One synthetic block class being laid out: children in declaration order, each with its
    span and alignment (the generator places children without an offset at the end of the
    previous one, rounded up to their alignment)."""

    def __init__(self, name):
        self.name = name
        self.cname = "ksx_%s_csr_t" % name
        self.subs = []       # (member name, _Block)
        self.mems = []       # (name, count, entry width)
        self.regs = []       # YAML lines
        self.reg_bytes = 0
        self.mem_fields = {}  # memory name -> entry fields

    def span(self, extra_mem=None):
        items = [(b.byte_size(), b.byte_size()) for _, b in self.subs]
        mems = self.mems + ([extra_mem] if extra_mem else [])
        items += [(c * _reg_bytes(w), _reg_bytes(w)) for _, c, w in mems]
        items.sort(key=lambda x: -x[1])
        end = 0
        for span, align in items:
            end = -(-end // align) * align + span
        return end + self.reg_bytes

    def byte_size(self):
        return max(_pow2(self.span()), 0x100)

    def text(self):
        lines = ["# Synthetic block %s: %d sub-blocks, %d memories, %d registers."
                 % (self.name, len(self.subs), len(self.mems), len(self.regs)),
                 "block: %s" % self.name, "byte_size: 0x%x" % self.byte_size(), "children:"]
        # Largest alignment first, so that children follow each other without holes.
        ordered = [(b.byte_size(), "  - {name: %s, type: %s}" % (n, b.cname)) for n, b in self.subs]
        for name, count, width in self.mems:
            ordered.append((_reg_bytes(width), "  - {name: %s, count: %d, entry: {fields: %s}}"
                            % (name, count, _yaml_list(self.mem_fields[name]))))
        ordered.sort(key=lambda x: -x[0])
        lines += [t for _, t in ordered] + self.regs
        return "\n".join(lines) + "\n"


def _real_shape(regs_dir):
    """The chip's top map (groups and instances) and the byte size and child count of every
    block class, read from the description folder."""
    import yaml
    classes = {}
    top = None
    for fn in sorted(os.listdir(regs_dir)):
        if not fn.endswith(".yaml"):
            continue
        with open(os.path.join(regs_dir, fn), encoding="utf-8") as fh:
            doc = yaml.safe_load(fh)
        if not isinstance(doc, dict):
            continue
        if "block" in doc:
            cname = doc.get("prefix", "ksx_%s_csr_" % doc["block"]) + "t"
            classes[cname] = (doc["block"], int(doc["byte_size"]), len(doc.get("children") or []))
        elif doc.get("top") == "ksx_top_csr_t":
            top = doc
    if top is None:
        raise ValueError("%s: no top map ksx_top_csr_t" % regs_dir)
    return top, classes


def _caps(top):
    """Largest byte size each top-level class may take without reaching the next instance."""
    spots = []
    for g in top["groups"]:
        for it in g.get("instances") or []:
            count = it.get("count", 1)
            for k in range(count):
                spots.append((it["base"] + k * it.get("stride", 0), it["type"]))
    spots.sort()
    caps = {}
    for i, (base, cname) in enumerate(spots):
        room = (spots[i + 1][0] - base) if i + 1 < len(spots) else 0x70000000 - base
        p = 1
        while p * 2 <= room and base % (p * 2) == 0:
            p *= 2
        caps[cname] = min(caps.get(cname, p), p)
    return caps


def full_docs(regs_dir):
    """Yields (file name, YAML text) of the full-scale description: FULL_BLOCKS block classes
    holding FULL_REGISTERS registers and FULL_MEMORIES memories, FULL_DECODERS decoders, a top
    map ksx_top_csr_t with the groups, instance names, counts, bases, strides and registry
    numbers of the chip's own top map (each block class replaced by a synthetic one), and a
    one-block board map dru_top_csr_t."""
    rnd = random.Random(6187)
    top, real = _real_shape(regs_dir)
    caps = _caps(top)
    top_types = []
    for g in top["groups"]:
        for it in g.get("instances") or []:
            if it["type"] not in top_types:
                top_types.append(it["type"])
    n_sub = FULL_BLOCKS - len(top_types) - 1
    if n_sub < 1:
        raise ValueError("the top map uses %d block classes, more than %d" % (len(top_types), FULL_BLOCKS))
    tops = {t: _Block("syn_%s" % real[t][0]) for t in top_types}
    subs = [_Block("syn_sub%03d" % i) for i in range(n_sub)]
    board = _Block("syn_board")

    # Registers: sub-blocks 8..40 each, the board 8, the rest to the top-level classes in
    # proportion to the children of the class they stand for.
    counts = {}
    for b in subs:
        counts[b.name] = rnd.randint(8, 40)
    counts[board.name] = 8
    left = FULL_REGISTERS - sum(counts.values())
    weights = [max(real[t][2], 2) for t in top_types]
    total_w = sum(weights)
    shares = [left * w // total_w for w in weights]
    for i in range(left - sum(shares)):
        shares[i % len(shares)] += 1
    for t, n in zip(top_types, shares):
        counts[tops[t].name] = n
    for b in subs + [board] + [tops[t] for t in top_types]:
        for r in range(counts[b.name]):
            width = _pick(rnd, REG_WIDTHS)
            kind = rnd.choice(("cfg", "cfg", "sta", "cnt", "sat"))
            b.regs.append("  - {name: %s_r%d, fields: %s%s}" % (
                kind, r, _yaml_list(_fields(rnd, width)), ", secure: true" if rnd.random() < 0.07 else ""))
            b.reg_bytes += _reg_bytes(width)
            # Keep each register at its natural alignment after the memories and sub-blocks.
            b.reg_bytes = -(-b.reg_bytes // _reg_bytes(width)) * _reg_bytes(width)
        b.reg_bytes = _pow2(b.reg_bytes)

    # Memories: round robin over every class, count shrunk until it fits the class.
    every = [tops[t] for t in top_types] + subs
    for m in range(FULL_MEMORIES):
        count = rnd.choice(MEM_COUNTS)
        width = rnd.choice(MEM_WIDTHS)
        b = every[m % len(every)]
        cap = caps.get(_cname_of(tops, b), None)
        while count > 16 and _pow2(b.span((None, count, width))) > (cap or (1 << 20)):
            count //= 2
        b.mems.append(("mem%03d" % m, count, width))
        b.mem_fields["mem%03d" % m] = _fields(rnd, width, allow_policy=False)

    # Sub-blocks go to top-level classes of one or two instances, round robin, where they fit.
    hosts = [tops[t] for t in top_types if _instances(top, t) <= 2]
    for i, sb in enumerate(subs):
        for k in range(len(hosts)):
            h = hosts[(i + k) % len(hosts)]
            h.subs.append(("sub%03d" % i, sb))
            if h.byte_size() <= caps[_cname_of(tops, h)]:
                break
            h.subs.pop()
        else:
            raise ValueError("no room for sub-block %s" % sb.name)

    for b in subs + [board] + [tops[t] for t in top_types]:
        yield "%s.yaml" % b.name, b.text()

    # Decoders: plain layouts, some with field arrays, some composites of earlier ones.
    names = []
    for f in range(-(-FULL_DECODERS // DECODERS_PER_FILE)):
        lines = ["# Synthetic decoders, set %d." % f, "decoders: ksx_syn_decoders%d" % f,
                 "dir: ksx_syn_dec", "classes:"]
        for d in range(f * DECODERS_PER_FILE, min(FULL_DECODERS, (f + 1) * DECODERS_PER_FILE)):
            name = "ksx_syn_dec%03d_t" % d
            p = rnd.random()
            if names and p < 0.05:
                parts = rnd.sample(names, min(len(names), rnd.randint(2, 4)))
                fields = ", ".join("{name: m%d, type: %s}" % (i, t) for i, t in enumerate(parts))
                lines.append("  - {name: %s, fields: [%s]}" % (name, fields))
            elif p < 0.15:
                lines.append('  - {name: %s, fields: ["e:%d[%d]"]}' % (
                    name, rnd.choice((1, 5, 8, 16, 31)), rnd.choice((4, 8, 16, 32))))
            else:
                width = rnd.choice((7, 12, 18, 28, 34, 99, 108, 160, 516, 579, 690, 1127))
                lines.append("  - {name: %s, fields: %s}" % (name, _yaml_list(_fields(rnd, width, False))))
            names.append(name)
        yield "ksx_syn_decoders%d.yaml" % f, "\n".join(lines) + "\n"

    lines = ["# Synthetic chip map: the groups and block instances of the chip's own map,",
             "# each block class replaced by a synthetic one.",
             "top: ksx_top_csr_t", "dir: ksx_top", "groups:"]
    for g in top["groups"]:
        lines.append("  - name: %s" % g["name"])
        if g.get("instances"):
            lines.append("    instances:")
        for it in g.get("instances") or []:
            keys = ["name: %s" % it["name"], "type: %s" % tops[it["type"]].cname, "base: 0x%x" % it["base"]]
            if "count" in it:
                keys += ["count: %d" % it["count"], "stride: 0x%x" % it["stride"]]
            if "registry" in it:
                keys.append("registry: %d" % it["registry"])
            lines.append("      - {%s}" % ", ".join(keys))
    yield "syn_top.yaml", "\n".join(lines) + "\n"
    yield "syn_board_top.yaml", "\n".join([
        "# Synthetic board-controller map: one block.", "top: dru_top_csr_t", "dir: dru",
        "group_prefix: dru_", "groups:", "  - name: board", "    instances:",
        "      - {name: board, type: %s, base: 0x0, registry: 0}" % board.cname]) + "\n"


def _instances(top, cname):
    return sum(it.get("count", 1) for g in top["groups"] for it in g.get("instances") or []
               if it["type"] == cname)


def _cname_of(tops, block):
    for real_cname, b in tops.items():
        if b is block:
            return real_cname
    return None


def write_full(regs_dir, out_dir):
    """Writes the full-scale description into out_dir; returns the number of files."""
    os.makedirs(out_dir, exist_ok=True)
    count = 0
    for name, text in full_docs(regs_dir):
        with open(os.path.join(out_dir, name), "w", encoding="utf-8") as fh:
            fh.write(text)
        count += 1
    return count
