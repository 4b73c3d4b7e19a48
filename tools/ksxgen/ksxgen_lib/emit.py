"""Rendering the class model into C++ headers and sources (Jinja2 templates)."""

import os

import jinja2

from .model import Member

TEMPLATE_DIR = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "templates")

BASE_HEADERS = {
    "ksx_register_base": "model/utils/ksx_register_base.h",
    "ksx_memory_base": "model/utils/ksx_memory_base.h",
    "ksx_decoder_base": "model/utils/ksx_decoder_base.h",
    "ksx_block_base": "model/utils/ksx_block_base.h",
}

TEMPLATE_KIND = {"register": "fields", "decoder": "fields", "composite": "container",
                 "memory": "container", "regmem": "container", "intgrp": "container",
                 "block": "container", "mem_large": "large", "group": "group", "top": "top"}


def _members(c):
    return [i for i in c.items if isinstance(i, Member)]


def _bits(c, f):
    lo = 0
    for it in c.items:
        if it is f:
            break
        lo += it.width * it.count if not isinstance(it, Member) else it.cls.width * it.count
    hi = lo + f.width * f.count - 1
    return "bit %d" % lo if hi == lo else "bits %d..%d" % (hi, lo)


def _describe(c):
    if c.kind == "block":
        return "Block %s: %d children, byte size %s." % (c.cname, len(c.items), hex(c.byte_size))
    if c.kind == "group":
        return "Group wrapper %s: %d block instance entries." % (c.cname, len(c.group.instances))
    if c.kind == "top":
        return "Top map %s: %d group wrappers." % (c.cname, len(c.groups))
    if c.kind == "mem_large":
        return "Memory of %d entries of %d bits, created on demand." % (c.count, c.entry.width)
    if c.kind == "memory":
        return "Memory of %d entries of %d bits, held inline." % (c.count, c.entry.width)
    if c.kind == "regmem":
        return "Register-group memory of %d registers, %d bits." % (len(c.items), c.width)
    if c.kind == "intgrp":
        return "Interrupt register group: %s." % ", ".join(m.name for m in c.items)
    what = {"register": "Register", "decoder": "Decoder", "composite": "Composite decoder"}[c.kind]
    extra = ""
    if c.reset:
        extra += ", reset %s" % hex(c.reset)
    if c.secure:
        extra += ", secure"
    return "%s of %d bits%s." % (what, c.width, extra)


def _storage_base(c):
    """The class a generated class derives from: its base, with the field storage when it has fields."""
    n = c.field_slots()
    return "ksx_csr_fields<%s, %d>" % (c.base, n) if n else c.base


class _Run:
    def __init__(self, items, table):
        self.items = items
        self.table = table


def _runs(items, least=3):
    """Items in order, with each run of at least `least` scalar members gathered into one
    table entry (handled by one out-of-line loop); everything else one by one."""
    out, pending = [], []

    def flush():
        if len(pending) >= least:
            out.append(_Run(list(pending), True))
        else:
            out.extend(_Run([m], False) for m in pending)
        pending.clear()
    for it in items:
        if isinstance(it, Member) and not it.is_array:
            pending.append(it)
        else:
            flush()
            out.append(_Run([it], False))
    flush()
    return out


def make_env():
    env = jinja2.Environment(loader=jinja2.FileSystemLoader(TEMPLATE_DIR),
                             undefined=jinja2.StrictUndefined, trim_blocks=True,
                             lstrip_blocks=True, keep_trailing_newline=True,
                             autoescape=False)
    env.globals.update(
        template_kind=lambda c: TEMPLATE_KIND[c.kind],
        members=_members,
        is_member=lambda it: isinstance(it, Member),
        nslots=lambda c: c.field_slots(),
        storage_base=_storage_base,
        runs=_runs,
        hex=lambda v: "0x%x" % v,
        bits=_bits,
        describe=_describe,
    )
    return env


def _class_order(classes):
    """Classes of one file, each after the classes of the same file it holds."""
    names = {c.cname for c in classes}
    done, order = set(), []

    def visit(c):
        if c.cname in done:
            return
        done.add(c.cname)
        deps = [m.cls for m in c.members()]
        if c.entry is not None:
            deps.append(c.entry)
        for d in deps:
            if d is not None and d.cname in names:
                visit(d)
        order.append(c)
    for c in classes:
        visit(c)
    return order


def render(outfiles, env=None):
    """Returns [(relative path, text)] for every header and source, in a fixed order."""
    env = env or make_env()
    owner = {}
    for out in outfiles:
        for c in out.classes:
            owner[c.cname] = out
            c.field_slots()
    result = []
    for out in outfiles:
        classes = _class_order(out.classes)
        includes, src_includes = [], []
        for c in classes:
            if c.kind in ("group", "top"):
                inc = BASE_HEADERS["ksx_block_base"]
            else:
                inc = BASE_HEADERS[c.base]
            if inc not in includes:
                includes.append(inc)
        if any(c.kind not in ("group", "top") and c.field_slots() for c in classes):
            includes.append("model/utils/ksx_csr_fields.h")
        includes.append("model/utils/ksx_csr_pack.h")
        if any(c.kind == "mem_large" for c in classes):
            includes.append("model/utils/ksx_csr_large_array_wrapper.h")
            src_includes.append('"ip/verif/pcpp/logmsg.h"')
        if any(c.kind in ("group", "top") for c in classes):
            src_includes.append('"ip/verif/pcpp/vmo_blk_reg_model.h"')
        if any(f.count > 1 for c in classes for f in c.fields()):
            src_includes.insert(0, "<cassert>")
        for c in classes:
            deps = [m.cls for m in c.members()]
            for d in deps:
                o = owner.get(d.cname)
                if o is not None and o is not out and o.stem + ".h" not in includes:
                    includes.append(o.stem + ".h")
        ctx = {"out": out, "classes": classes, "includes": includes,
               "source_includes": src_includes}
        result.append((out.stem + ".h", env.get_template("header.h.j2").render(ctx)))
        result.append((out.stem + ".cc", env.get_template("source.cc.j2").render(ctx)))
    return result


def write_outputs(files, out_dir):
    """Writes each file whose content changed; returns the number written."""
    written = 0
    for rel, text in files:
        path = os.path.join(out_dir, rel)
        data = text.encode("utf-8")
        try:
            with open(path, "rb") as fh:
                if fh.read() == data:
                    continue
        except OSError:
            pass
        os.makedirs(os.path.dirname(path), exist_ok=True)
        tmp = path + ".tmp"
        with open(tmp, "wb") as fh:
            fh.write(data)
        os.replace(tmp, path)
        written += 1
    return written
