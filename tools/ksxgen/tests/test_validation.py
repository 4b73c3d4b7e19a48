"""Every validation error of the description, with its exact message."""

import unittest

import tempfile

from ksxgen_lib.cli import load
from tests.helpers import block, errors_of, write_regs


# (children of block 'bad', the one error, after "regs/ksx_bad.yaml: ").
REGISTER_ERRORS = [
    ("- {name: r, fields: [a:3, {name: b, width: 0}]}", "children[0].fields[1].width: must be >= 1"),
    ("- {name: r, fields: [a:3, b:2049]}", "children[0].fields[1].width: must be <= 2048"),
    ("- {name: r, width: 75, fields: [a:5, b:69]}", "children[0].fields: field widths add up to 74, width is 75"),
    ("- {name: r, width: 2049}", "children[0].width: must be <= 2048"),
    ("- {name: r, fields: [a:1024, b:1024, c:1]}", "children[0].fields: field widths add up to 2049, more than 2048"),
    ("- {name: r, fields: []}", "children[0].fields: must be a non-empty list"),
    ("- {name: r}", "children[0]: needs fields or width"),
    ("- {name: r, fields: [a:3, 'b 4']}",
     "children[0].fields[1]: cannot read 'b 4' (expected name:width[=reset][ policy])"),
    ("- {name: r, fields: [a:3, a:4]}",
     "children[0].fields[1].name: duplicate name 'a' (also children[0].fields[0].name)"),
    ("- {name: r, fields: [clear:3]}", "children[0].fields[0].name: 'clear' is reserved"),
    ("- {name: r, fields: ['pg:5[4]']}", "children[0].fields[0]: field arrays are only for decoders"),
    ("- {name: 2r, width: 3}", "children[0].name: must be a name of letters, digits and underscores"),
    ("- {name: r, fields: [{name: a, width: 3, colour: red}]}", "children[0].fields[0].colour: unknown key"),
    ("- {name: r, fields: [7]}", "children[0].fields[0]: must be a text name:width or a mapping"),
    ("- {name: r, fields: [a:3=8]}", "children[0].fields[0].reset: does not fit in 3 bits"),
    ("- {name: r, width: 8, reset: '0x1zz'}", "children[0].reset: not a number: '0x1zz'"),
    ("- {name: r, width: 8, reset: 1.5}", "children[0].reset: must be a whole number (decimal or 0x hexadecimal)"),
    ("- {name: r, width: 8, reset: 0x100}", "children[0].reset: does not fit in 8 bits"),
    ("- {name: r, reset: 1, fields: [a:3=1]}", "children[0].reset: given both for the register and its fields"),
    ("- {name: r, width: 8, secure: 1}", "children[0].secure: must be true or false"),
    ("- {name: r, fields: [a:3 rc]}", "children[0].fields[0].access: must be one of rw, ro, w1c, w1s, sc"),
    ("- {name: r, width: 8, access: wo}", "children[0].access: must be one of rw, ro, w1c, w1s, sc"),
]
LAYOUT_ERRORS = [
    ("- {name: a, width: 32, offset: 0x0}\n- {name: b, width: 64, offset: 0x14}",
     "children[1].offset: 0x14 must be a multiple of 0x8"),
    ("- {name: a, width: 64, offset: 0x0}\n- {name: b, width: 32, offset: 0x4}",
     "children[1].offset: 0x4..0x7 overlaps children[0] 'a' (0x0..0x7)"),
    ("- {name: a, width: 32, offset: 0x1000}", "children[0].offset: 0x1000..0x1003 lies beyond byte_size 0x1000"),
    ("- {name: m, offset: 0x0, count: 2048, entry: {width: 29}}",
     "children[0].offset: 0x0..0x1fff lies beyond byte_size 0x1000"),
    ("- {name: a, width: 32, array: 4, offset: 0x0}\n- {name: b, width: 32, offset: 0xc}",
     "children[1].offset: 0xc..0xf overlaps children[0] 'a' (0x0..0xf)"),
    ("- {name: a, width: 8}\n- {name: a, width: 8}", "children[1].name: duplicate name 'a' (also children[0].name)"),
    ("- {name: x_entry, width: 8}\n- {name: x, count: 4, entry: {width: 8}}",
     "children[1].entry: class ksx_bad_csr_x_entry_t already generated from regs/ksx_bad.yaml: children[0]"),
    ("- {name: read, width: 8}", "children[0].name: 'read' is reserved"),
    ("- {name: m, count: 0, entry: {width: 8}}", "children[0].count: must be >= 1"),
    ("- {name: m, count: 16777217, entry: {width: 8}}", "children[0].count: must be <= 16777216"),
    ("- {name: m, entry: {width: 8}}", "children[0].count: required key missing"),
    ("- {name: m, count: 2, entry: {width: 8, name: x}}", "children[0].entry.name: unknown key"),
    ("- {name: a, width: 8, array: 0}", "children[0].array: must be >= 1"),
    ("- {name: m, count: 4, array: 2, entry: {width: 8}}", "children[0].array: unknown key"),
    ("- {name: g, registers: [{name: a, width: 32, offset: 0}, {name: b, width: 32, offset: 0}]}",
     "children[0].registers[1].offset: 0x0..0x3 overlaps children[0].registers[0] 'a' (0x0..0x3)"),
]
INTERRUPT_ERRORS = [
    ("{offset: 0x108, groups: {a: [x]}}", "interrupts.offset: must be a multiple of 0x10"),
    ("{offset: 0x100, groups: {a: [x, x]}}",
     "interrupts.groups.a[1]: duplicate name 'x' (also interrupts.groups.a[0])"),
    ("{offset: 0x100, groups: {a: [%s]}}" % ", ".join("s%d" % i for i in range(33)),
     "interrupts.groups.a: must have at most 32 sources"),
    ("{offset: 0x100, groups: {a: [x], 2b: [y]}}", "interrupts.groups.2b: must be a name of letters, digits and underscores"),
]


class ItemErrors(unittest.TestCase):
    def test_each_item_error_alone(self):
        for children, error in REGISTER_ERRORS + LAYOUT_ERRORS:
            self.assertEqual(errors_of({"ksx_bad.yaml": block(children + "\n")}), ["regs/ksx_bad.yaml: " + error], children)
        for interrupts, error in INTERRUPT_ERRORS:
            self.assertEqual(errors_of({"ksx_bad.yaml": block("- {name: base, width: 32}\n", "interrupts: %s\n" % interrupts)}),
                             ["regs/ksx_bad.yaml: " + error])
        # Two reserved names, and an interrupt window over a register.
        self.assertEqual(errors_of({"ksx_bad.yaml": block("- {name: r, fields: [int:3, m_x:1]}\n")}),
                         ["regs/ksx_bad.yaml: children[0].fields[0].name: 'int' is reserved",
                          "regs/ksx_bad.yaml: children[0].fields[1].name: 'm_x' is reserved"])
        self.assertEqual(errors_of({"ksx_bad.yaml": block("- {name: base, width: 32, offset: 0x100}\n",
                                                          "interrupts: {offset: 0x100, groups: {a: [x]}}\n")}),
                         ["regs/ksx_bad.yaml: interrupts.offset: 0x100..0x10f overlaps children[0] 'base' (0x100..0x103)"])

    def test_block_keys(self):
        self.assertEqual(errors_of({"ksx_bad.yaml": "block: bad\nbyte_size: 0x1800\nchildren: []\n"}),
                         ["regs/ksx_bad.yaml: byte_size: must be a power of two"])
        self.assertEqual(errors_of({"ksx_bad.yaml": "block: bad\nchildren: []\nextra: 1\n"}),
                         ["regs/ksx_bad.yaml: extra: unknown key",
                          "regs/ksx_bad.yaml: byte_size: required key missing"])
        self.assertEqual(errors_of({"ksx_bad.yaml": "byte_size: 4\n"}),
                         ["regs/ksx_bad.yaml: must have exactly one of the keys block, decoders, top"])
        self.assertEqual(errors_of({"ksx_bad.yaml": "block: bad\nbyte_size: 16\nchildren: []\nbyte_size: 8\n"}),
                         ["regs/ksx_bad.yaml: line 4: YAML: key 'byte_size' given twice"])
        self.assertEqual(errors_of({"ksx_bad.yaml": "block: bad\nchildren: [\n"})[0][:31],
                         "regs/ksx_bad.yaml: line 3: YAML")
        self.assertEqual(errors_of({"a.yaml": "block: x\nbyte_size: 16\nchildren: []\n",
                                    "b.yaml": "block: x\nbyte_size: 16\nchildren: []\n"}),
                         ["regs/b.yaml: class ksx_x_csr_t already generated from regs/a.yaml",
                          "regs/b.yaml: writes model/ksx_x/ksx_x_csr.h, as regs/a.yaml does"])


class RegisterSets(unittest.TestCase):
    SET = "- {name: g, registers: [{name: g0, width: 32}, {each: %s, %sregisters: [{name: x, width: 32}, {name: y, width: 64}]}]}\n"

    def test_copies_named_and_placed(self):
        with tempfile.TemporaryDirectory() as root:
            r = load(write_regs(root, {"ksx_bad.yaml": block(self.SET % ("'r{0..1}_{a,b}'", "stride: 0x10, "))}))
        self.assertEqual(r.errors.lines, [])
        g = r.classes["ksx_bad_csr_g_t"]
        # After g0, aligned to the set's largest register; each copy 0x10 on; the leftmost brace outermost.
        self.assertEqual([(m.name, m.offset) for m in g.items],
                         [("g0", 0), ("r0_a_x", 8), ("r0_a_y", 0x10), ("r0_b_x", 0x18), ("r0_b_y", 0x20),
                          ("r1_a_x", 0x28), ("r1_a_y", 0x30), ("r1_b_x", 0x38), ("r1_b_y", 0x40)])
        self.assertEqual(r.classes["ksx_bad_csr_g_r1_b_y_t"].width, 64)

    def test_errors(self):
        for pattern, extra, expected in (
                ("'r{3..1}'", "", "children[0].registers[1].each: range {3..1} must run upward over at most 4096 values"),
                ("'r{0..1'", "", "children[0].registers[1].each: unbalanced brace in 'r{0..1'"),
                ("'r{a,}'", "", "children[0].registers[1].each: empty choice in {a,}"),
                ("'r{0..9}{0..999}'", "", "children[0].registers[1].each: expands to more than 4096 names"),
                ("7", "", "children[0].registers[1].each: must be a name pattern such as sym{0..3}_ring{0..15}"),
                ("'r{0..1}'", "colour: red, ", "children[0].registers[1].colour: unknown key"),
                ("'r{0..1}'", "stride: 0x8, ", "children[0].registers[1]{r1}.registers[0].offset: 0x10..0x13 "
                 "overlaps children[0].registers[1]{r0}.registers[1] 'r0_y' (0x10..0x17)")):
            self.assertEqual(errors_of({"ksx_bad.yaml": block(self.SET % (pattern, extra))}),
                             ["regs/ksx_bad.yaml: " + expected], pattern)


class ReferenceErrors(unittest.TestCase):
    def test_types(self):
        self.assertEqual(errors_of({"ksx_bad.yaml": block("- {name: s, type: nothing_t}\n")}),
                         ["regs/ksx_bad.yaml: children[0].type: unknown class 'nothing_t'"])
        top = "top: t_t\ndir: t\ngroups:\n  - {name: g, instances: [{name: r, type: ksx_bad_csr_r_t, base: 0}]}\n"
        self.assertEqual(errors_of({"ksx_bad.yaml": block("- {name: r, width: 8}\n"), "top.yaml": top}),
                         ["regs/top.yaml: groups[0].instances[0].type: 'ksx_bad_csr_r_t' is a register class, expected block"])
        self.assertEqual(errors_of({"a.yaml": "block: a\nbyte_size: 16\nchildren: [{name: b, type: ksx_b_csr_t}]\n",
                                    "b.yaml": "block: b\nbyte_size: 16\nchildren: [{name: a, type: ksx_a_csr_t}]\n"}),
                         ["regs/a.yaml: class ksx_a_csr_t contains itself (ksx_a_csr_t -> ksx_b_csr_t -> ksx_a_csr_t)"])

    def test_decoders(self):
        dec = "decoders: d\ndir: ksx_d\nclasses:\n"
        self.assertEqual(errors_of({"d.yaml": dec + "  - {name: x_t, width: 9, fields: ['pg:4[2]']}\n"}),
                         ["regs/d.yaml: classes[0].fields: field widths add up to 8, width is 9"])
        self.assertEqual(errors_of({"d.yaml": dec + "  - {name: x, fields: [a:1]}\n"}),
                         ["regs/d.yaml: classes[0].name: must be a class name ending in _t"])
        self.assertEqual(errors_of({"d.yaml": dec + "  - {name: x_t, fields: ['pg:4[1]']}\n"}),
                         ["regs/d.yaml: classes[0].fields[0].count: must be >= 2"])
        self.assertEqual(errors_of({"d.yaml": dec + "  - {name: x_t, fields: [a:1]}\n"
                                    "  - {name: y_t, width: 5, fields: [{name: m, type: x_t, count: 2}]}\n"}),
                         ["regs/d.yaml: classes[1].fields: member widths add up to 2, width is 5"])
        self.assertEqual(errors_of({"d.yaml": dec + "  - {name: x_t, reset: 1, fields: [{name: m, type: x_t}]}\n"}),
                         ["regs/d.yaml: classes[0].reset: not allowed with sub-decoder members",
                          "regs/d.yaml: class x_t contains itself (x_t -> x_t)"])

    def test_top_maps(self):
        blk = "block: te\nbyte_size: 0x40000\nchildren: [{name: base, width: 32}]\n"
        top = """\
            top: t_t
            dir: t
            groups:
              - name: a
                instances:
                  - {name: te, type: ksx_te_csr_t, base: 0x0, count: 2, stride: 0x20000}
                  - {name: x, type: ksx_te_csr_t, base: 0x100000, registry: 1}
                  - {name: y, type: ksx_te_csr_t, base: 0x200000, stride: 0x40000}
              - name: a
            """
        self.assertEqual(errors_of({"te.yaml": blk, "top.yaml": top}),
                         ["regs/top.yaml: groups[0].instances[2].count: required with stride",
                          "regs/top.yaml: groups[1].name: duplicate name 'a' (also groups[0].name)",
                          "regs/top.yaml: groups[0].instances[0].stride: 0x20000 is less than the byte size 0x40000 of ksx_te_csr_t",
                          "regs/top.yaml: groups[0].instances[1].registry: ksx_te_csr_t instance 1 already used by groups[0].instances[0]"])

    def test_every_error_is_reported(self):
        errs = errors_of({"a.yaml": block("- {name: r, fields: [{name: a, width: 0}, b:3=9]}\n- {name: r, width: 8}\n"),
                          "b.yaml": "block: b\nbyte_size: 3\nchildren: []\n"})
        self.assertEqual(errs, ["regs/a.yaml: children[0].fields[0].width: must be >= 1",
                                "regs/a.yaml: children[0].fields[1].reset: does not fit in 3 bits",
                                "regs/a.yaml: children[1].name: duplicate name 'r' (also children[0].name)",
                                "regs/b.yaml: byte_size: must be >= 4"])


if __name__ == "__main__":
    unittest.main()
