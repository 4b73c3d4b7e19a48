"""The register map database: static C++ tables of every block class's registers, memories
and fields, and of the block instances of each top map (sub-blocks flattened as instances of
their own). Read by model/utils/ksx_regdb.{h,cc}; no model object refers to it."""

from .model import Field, byte_size_of

OUTPUT = "model/ksx_regdb/ksx_regdb_tables.cc"
ACCESS = {"rw": "KSX_REGDB_RW", "ro": "KSX_REGDB_RO", "w1c": "KSX_REGDB_W1C",
          "w1s": "KSX_REGDB_W1S", "sc": "KSX_REGDB_SC"}
TOPS = (("ksx_top_csr_t", "ksx_regdb_chip_tables", "chip"),
        ("dru_top_csr_t", "ksx_regdb_board_tables", "board"))
# Maps never built at start-up whose instances sit in another map's address space: their
# instances join that map's database, unregistered (the NoC's raw register windows).
ANNEXES = {"ksx_top_csr_t": ("ksx_nx_raw_csr_t",)}


def _fields(cls):
    """(name, lsb, width, reset, access) of a register class's fields, bit 0 upward."""
    out, lsb = [], 0
    reset = int(cls.reset or 0)
    for f in cls.items:
        if not isinstance(f, Field):
            continue
        for k in range(f.count):
            name = f.name if f.count == 1 else "%s[%d]" % (f.name, k)
            mask = (1 << f.width) - 1
            out.append((name, lsb, f.width, (reset >> lsb) & mask, f.access or "rw"))
            lsb += f.width
    return out


class _Tables:
    def __init__(self):
        self.classes = []      # (cname, byte_size, first_reg, n_regs)
        self.class_objs = []   # the block class of each entry of classes
        self.class_index = {}
        self.regs = []         # (name, offset, width, byte_size, count, kind, secure, reset, first_field, n_fields)
        self.fields = []
        self.insts = []        # (name, group, class_idx, base, reg_inst, depth)
        self.field_ranges = {}  # register class -> (first field, count): shared by its uses

    def reg_row(self, name, offset, cls, count, kind, width=None, reset=None, secure=None):
        body = cls.entry if kind == "memory" else cls
        if body.cname not in self.field_ranges:
            fields = _fields(body)
            self.field_ranges[body.cname] = (len(self.fields), len(fields))
            self.fields.extend(fields)
        first, nfields = self.field_ranges[body.cname]
        w = width if width is not None else body.width
        r = int(body.reset or 0) if reset is None else reset
        s = body.secure if secure is None else secure
        return (name, offset, w, byte_size_of(w), count, kind, bool(s), r, first, nfields)

    def block_class(self, cls):
        if cls.cname in self.class_index:
            return self.class_index[cls.cname]
        rows = []
        subs = []
        for m in cls.items:
            mc = m.cls
            if mc is None:
                continue
            off = m.offset or 0
            if mc.kind == "block":
                subs.append(m)
            elif mc.kind in ("memory", "mem_large"):
                for k in range(m.count):
                    nm = m.name if m.count == 1 else "%s_%d" % (m.name, k)
                    rows.append(self.reg_row(nm, off + k * m.stride, mc, mc.count, "memory"))
            elif mc.kind in ("regmem", "intgrp"):
                for k in range(m.count):
                    nm = m.name if m.count == 1 else "%s_%d" % (m.name, k)
                    for r in mc.items:
                        rows.append(self.reg_row("%s.%s" % (nm, r.name), off + k * m.stride + (r.offset or 0),
                                                 r.cls, 1, "register"))
            else:
                rows.append(self.reg_row(m.name, off, mc, m.count, "register"))
        rows.sort(key=lambda r: r[1])
        idx = len(self.classes)
        self.class_index[cls.cname] = idx
        self.classes.append((cls.cname, cls.byte_size or 0, len(self.regs), len(rows)))
        self.class_objs.append(cls)
        self.regs.extend(rows)
        cls._regdb_subs = subs
        return idx

    def instance(self, name, group, cls, base, reg_inst, depth):
        idx = self.block_class(cls)
        self.insts.append((name, group, idx, base, reg_inst, depth))
        for m in cls._regdb_subs:
            for k in range(m.count):
                nm = "%s.%s" % (name, m.name) if m.count == 1 else "%s.%s[%d]" % (name, m.name, k)
                self.instance(nm, group, m.cls, base + (m.offset or 0) + k * m.stride, -1, depth + 1)


def tables_of(top, annexes=()):
    """The database tables of one top map: its block classes (registers sorted by offset, the
    members of register groups and interrupt groups flattened), their fields, and every block
    instance with its sub-blocks, sorted by address. The instances of the annex maps follow,
    with no registry instance number."""
    t = _Tables()
    for m, registered in [(top, True)] + [(a, False) for a in annexes]:
        for grp in m.groups:
            for it in grp.instances:
                if it.cls is None:
                    continue
                stem = it.name if it.name == grp.name else "%s.%s" % (grp.name, it.name)
                for k in range(it.count):
                    nm = "%s[%d]" % (stem, k) if it.is_array else stem
                    t.instance(nm, grp.name, it.cls, it.base + k * it.stride,
                               it.first_registry + k if registered else -1, 0)
    t.insts.sort(key=lambda i: (i[3], i[5]))
    return t


def tops_of(outfiles):
    """[(top class name, database function, tag, top class, annex top classes)] of the top
    maps present."""
    tops = {}
    for out in outfiles:
        for c in out.classes:
            if c.kind == "top":
                tops[c.cname] = c
    return [(cname, func, tag, tops[cname], [tops[a] for a in ANNEXES.get(cname, ()) if a in tops])
            for cname, func, tag in TOPS if cname in tops]


def _cstr(s):
    return '"%s"' % s.replace("\\", "\\\\").replace('"', '\\"')


def _emit(tops_found):
    lines = ["// Generated by ksxgen from regs/*.yaml \u2014 do not edit.",
             "// The register map database: classes, registers, fields and instances of each top map.",
             '#include "model/utils/ksx_regdb.h"', "", "namespace {", ""]
    funcs = []
    for cname, func, tag, top, annexes in tops_found:
        t = tables_of(top, annexes)
        lines.append("const ksx_regdb_field %s_fields[] = {" % tag)
        for (n, lsb, w, r, a) in t.fields:
            lines.append('    {%s, %d, %d, "0x%x", %s},' % (_cstr(n), lsb, w, r, ACCESS.get(a, "KSX_REGDB_RW")))
        lines.append('    {"", 0, 0, "0x0", KSX_REGDB_RW}};')
        lines.append("const ksx_regdb_reg %s_regs[] = {" % tag)
        for (n, off, w, bs, cnt, kind, sec, r, ff, nf) in t.regs:
            lines.append('    {%s, 0x%x, %d, %d, %d, %s, %s, "0x%x", %d, %d},'
                         % (_cstr(n), off, w, bs, cnt, "KSX_REGDB_MEMORY" if kind == "memory" else "KSX_REGDB_REGISTER",
                            "true" if sec else "false", r, ff, nf))
        lines.append('    {"", 0, 0, 0, 0, KSX_REGDB_REGISTER, false, "0x0", 0, 0}};')
        lines.append("const ksx_regdb_class %s_classes[] = {" % tag)
        for (n, bs, fr, nr) in t.classes:
            lines.append("    {%s, 0x%x, %d, %d}," % (_cstr(n), bs, fr, nr))
        lines.append('    {"", 0, 0, 0}};')
        lines.append("const ksx_regdb_inst %s_insts[] = {" % tag)
        for (n, g, ci, base, ri, _d) in t.insts:
            lines.append("    {%s, %s, %d, 0x%x, %d}," % (_cstr(n), _cstr(g), ci, base, ri))
        lines.append('    {"", "", 0, 0, 0}};')
        lines.append("const ksx_regdb_tables %s_tables{%s, %s_classes, %d, %s_regs, %d, %s_fields, %d, %s_insts, %d};"
                     % (tag, _cstr(cname), tag, len(t.classes), tag, len(t.regs), tag, len(t.fields), tag, len(t.insts)))
        lines.append("")
        funcs.append("const ksx_regdb_tables& %s() { return %s_tables; }" % (func, tag))
    lines.append("}  // namespace")
    lines.append("")
    lines.extend(funcs)
    lines.append("")
    return "\n".join(lines)


def regdb_files(outfiles):
    """[(relative path, text)] of the database source, or [] without a top map."""
    found = tops_of(outfiles)
    if not found:
        return []
    return [(OUTPUT, _emit(found))]


def regdb_outputs(outfiles):
    return [rel for rel, _ in regdb_files(outfiles)]
