"""The register reference as a static, self-contained web site: an index of groups and block
instances, a page per block class (registers, memories, arrays, fields with a bit-field
diagram each), a page per block instance with absolute addresses, and a search page over
register, field and instance names and addresses. No network and no external assets: every
page opens from the file system.

Built from the same tables as the register map database (regdb.py), so the site, the
database and `ksxcsr decode` agree on every name and address."""

import json
import os
import re

import jinja2

from .regdb import tables_of, tops_of

TEMPLATE_DIR = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "templates", "html")
SEARCH_CHUNK = 512 * 1024   # bytes of search data per script file
ACCESS_TEXT = {"rw": "read/write", "ro": "read-only", "w1c": "write 1 to clear",
               "w1s": "write 1 to set", "sc": "self-clearing"}


def page_name(name):
    """File name for a class or instance name: sge.te[0] -> sge.te_0_."""
    return re.sub(r"[^A-Za-z0-9_.-]", "_", name) + ".html"


def diagram(width, fields):
    """Rows of a bit-field diagram, most significant 32-bit word first: each row is a list of
    cells (name, msb, lsb, span) from bit 31 of the word down to bit 0."""
    rows = []
    for k in range((width + 31) // 32 - 1, -1, -1):
        lo_w, hi_w = 32 * k, min(width, 32 * k + 32) - 1
        cells = []
        for (name, lsb, fw, _r, _a) in reversed(fields):
            hi = lsb + fw - 1
            if hi < lo_w or lsb > hi_w:
                continue
            a, b = min(hi, hi_w), max(lsb, lo_w)
            cells.append({"name": name, "msb": a, "lsb": b, "span": a - b + 1,
                          "part": "" if (a, b) == (hi, lsb) else "[%d:%d]" % (a - lsb, b - lsb)})
        pad = 32 * k + 31 - hi_w
        rows.append({"word": k, "pad": pad, "cells": cells})
    return rows


class _Site:
    def __init__(self, out_dir, env):
        self.out_dir = out_dir
        self.env = env
        self.files = []    # (relative path, text)

    def page(self, rel, template, **ctx):
        depth = rel.count("/")
        ctx["root"] = "../" * depth
        self.files.append((rel, self.env.get_template(template).render(**ctx)))


def _note(notes, cls, name):
    """A register's note: its own comment, else its register set's (a group's own comment is
    the group member's: shown once, not on each of its registers)."""
    parts = name.split(".")
    if parts[-1] in notes:
        return notes[parts[-1]]
    if len(parts) > 1:
        grp = next((m for m in cls.items if getattr(m, "name", None) == parts[0]), None)
        for it in (grp.cls.items if grp is not None and grp.cls is not None else []):
            if it.name == parts[-1] and getattr(it, "set_pattern", None) in notes:
                return notes[it.set_pattern]
    return ""


def _rows(t, idx, notes):
    cname, bs, first, n = t.classes[idx]
    cls = t.class_objs[idx]
    out = []
    for (name, off, width, rbs, count, kind, secure, reset, ff, nf) in t.regs[first:first + n]:
        fields = t.fields[ff:ff + nf]
        note = _note(notes, cls, name)
        out.append({"name": name, "note": note, "note_full": note, "offset": off, "width": width, "byte_size": rbs, "count": count,
                    "kind": "memory" if kind == "memory" else ("array" if count > 1 else "register"),
                    "secure": secure, "reset": reset, "end": off + rbs * count - 1,
                    "fields": [{"name": f[0], "lsb": f[1], "width": f[2], "reset": f[3],
                                "access": ACCESS_TEXT.get(f[4], f[4])} for f in fields],
                    "diagram": diagram(width, fields)})
    # A note shared by neighbours (a register set's) is shown at the first of them only.
    for prev, r in zip([None] + out, out):
        if prev is not None and prev["note_full"] == r["note_full"]:
            r["note"] = ""
    return out


def site_files(outfiles):
    """[(relative path, text)] of the whole site."""
    env = jinja2.Environment(loader=jinja2.FileSystemLoader(TEMPLATE_DIR), undefined=jinja2.StrictUndefined,
                             autoescape=True, trim_blocks=True, lstrip_blocks=True)
    env.filters["hex"] = lambda v: "0x%x" % v
    env.globals["page_name"] = page_name
    site = _Site(None, env)
    maps = []
    search_classes, search_insts = [], []
    notes = {}
    for out in outfiles:
        notes.setdefault(out.src, out.notes)
    for top_cname, _func, _tag, top, annexes in tops_of(outfiles):
        t = tables_of(top, annexes)
        class_rows = {}
        for idx, (cname, bs, _f, _n) in enumerate(t.classes):
            src = t.class_objs[idx].src
            file_notes = notes.get(src, {})
            rows = _rows(t, idx, file_notes)
            class_rows[cname] = rows
            insts = [{"name": i[0], "base": i[3], "page": page_name(i[0])} for i in t.insts if i[2] == idx]
            site.page("class/" + page_name(cname), "class.html.j2", cname=cname, byte_size=bs, rows=rows,
                      insts=insts, top=top_cname, src=src, heading=file_notes.get("", ""))
            search_classes.append([cname, "class/" + page_name(cname),
                                   [[r["name"], r["offset"], r["byte_size"], r["count"],
                                     " ".join(f["name"] for f in r["fields"])] for r in rows]])
        ci0 = len(search_classes) - len(t.classes)
        instances = []
        for (name, group, ci, base, reg_inst, depth) in t.insts:
            cname, bs = t.classes[ci][0], t.classes[ci][1]
            inst = {"name": name, "group": group, "cname": cname, "base": base, "end": base + bs - 1,
                    "registry": reg_inst, "depth": depth, "page": page_name(name)}
            instances.append(inst)
            site.page("inst/" + page_name(name), "inst.html.j2", inst=inst, rows=class_rows[cname],
                      top=top_cname)
            search_insts.append([name, "0x%x" % base, "0x%x" % bs, ci0 + ci, "inst/" + page_name(name)])
        groups = []
        for grp in top.groups:
            members = [i for i in instances if i["group"] == grp.name]
            groups.append({"name": grp.name, "wrapper": grp.cls.cname, "instances": members})
        maps.append({"top": top_cname, "groups": groups, "n_classes": len(t.classes),
                     "n_regs": len(t.regs), "n_insts": len(t.insts)})
    # Search data in script files of bounded size (a page loads them with plain script tags,
    # which works from the file system where fetching does not).
    chunks, cur, size = [], [], 0
    items = [("c", c) for c in search_classes] + [("i", i) for i in search_insts]
    for kind, item in items:
        text = json.dumps([kind, item], separators=(",", ":"))
        if cur and size + len(text) > SEARCH_CHUNK:
            chunks.append(cur)
            cur, size = [], 0
        cur.append(text)
        size += len(text) + 1
    if cur:
        chunks.append(cur)
    scripts = []
    for k, chunk in enumerate(chunks):
        rel = "search-data-%d.js" % k
        scripts.append(rel)
        site.files.append((rel, "ksx_search_add([%s]);\n" % ",\n".join(chunk)))
    site.page("index.html", "index.html.j2", maps=maps)
    site.page("search.html", "search.html.j2", scripts=scripts)
    with open(os.path.join(TEMPLATE_DIR, "style.css"), encoding="utf-8") as fh:
        site.files.append(("style.css", fh.read()))
    with open(os.path.join(TEMPLATE_DIR, "search.js"), encoding="utf-8") as fh:
        site.files.append(("search.js", fh.read()))
    return site.files
