"""The register map database tables: instances flattened with sub-blocks and arrays, sorted
by address; registers, memories, register groups and interrupt groups with their fields."""

import os
import re
import tempfile
import unittest

from ksxgen_lib.cli import load
from ksxgen_lib.emit import render
from ksxgen_lib.regdb import OUTPUT, regdb_files

from .helpers import write_regs

FILES = {
    "ksx_sub.yaml": """\
        block: sub
        byte_size: 0x100
        children:
          - {name: base, width: 32, offset: 0x0}
        """,
    "ksx_blk.yaml": """\
        block: blk
        byte_size: 0x10000
        children:
          - {name: base, width: 32, offset: 0x0}
          - name: cfg
            offset: 0x10
            reset: "0x22002382000c003e010"
            fields: [max_credit:5, total_credit:14, rest:56]
          - {name: sta, offset: 0x20, fields: ["done:1 ro", "err:1 w1c", "spare:30"]}
          - {name: arr, offset: 0x40, width: 32, array: 4}
          - name: mem
            offset: 0x1000
            count: 2048
            entry: {fields: [qid:24, cos:4, set:1]}
          - {name: part, type: ksx_sub_csr_t, offset: 0x8000}
        interrupts:
          offset: 0x9000
          groups:
            sch: [a, b]
        """,
    "ksx_top.yaml": """\
        top: ksx_top_csr_t
        dir: ksx_top
        groups:
          - name: g
            instances:
              - {name: blk, type: ksx_blk_csr_t, base: 0x52000000, count: 2, stride: 0x10000, registry: 0}
          - name: h
            instances:
              - {name: h, type: ksx_blk_csr_t, base: 0x10000000, registry: 2}
        """,
}


def tables(files):
    with tempfile.TemporaryDirectory() as root:
        reader = load(write_regs(root, files))
        assert not reader.errors.lines, reader.errors.lines
        render(reader.outfiles)
        return dict(regdb_files(reader.outfiles))


class RegdbTables(unittest.TestCase):
    def test_instances_registers_and_fields(self):
        text = tables(FILES)[OUTPUT]
        insts = re.findall(r'\{"([^"]*)", "([^"]*)", (\d+), (0x[0-9a-f]+), (-?\d+)\},', text)
        self.assertEqual([(n, g, b, r) for n, g, _c, b, r in insts], [
            ("h", "h", "0x10000000", "2"),
            ("h.part", "h", "0x10008000", "-1"),
            ("g.blk[0]", "g", "0x52000000", "0"),
            ("g.blk[0].part", "g", "0x52008000", "-1"),
            ("g.blk[1]", "g", "0x52010000", "1"),
            ("g.blk[1].part", "g", "0x52018000", "-1"),
        ])
        self.assertIn('{"cfg", 0x10, 75, 16, 1, KSX_REGDB_REGISTER, false, "0x22002382000c003e010", ', text)
        self.assertIn('{"arr", 0x40, 32, 4, 4, KSX_REGDB_REGISTER, false, "0x0", ', text)
        self.assertIn('{"mem", 0x1000, 29, 4, 2048, KSX_REGDB_MEMORY, false, "0x0", ', text)
        self.assertIn('{"int_sch.int_test_set", 0x9024, ', text)
        self.assertIn('{"int_groups.intreg", 0x9000, ', text)
        # Field resets are cut from the register's reset; policies come through.
        self.assertIn('{"max_credit", 0, 5, "0x10", KSX_REGDB_RW},', text)
        self.assertIn('{"total_credit", 5, 14, "0x1f00", KSX_REGDB_RW},', text)
        self.assertIn('{"err", 1, 1, "0x0", KSX_REGDB_W1C},', text)
        self.assertIn('{"done", 0, 1, "0x0", KSX_REGDB_RO},', text)
        # Registers of a class sorted by offset (the address decode searches them).
        offsets = [int(o, 16) for o in re.findall(r'\{"[a-z_.]+", (0x[0-9a-f]+), \d+, \d+, \d+, KSX_REGDB', text)]
        blk = offsets[:offsets.index(0x9000) + 1] if 0x9000 in offsets else offsets
        self.assertEqual(blk, sorted(blk))
        self.assertIn("const ksx_regdb_tables& ksx_regdb_chip_tables()", text)
        self.assertNotIn("ksx_regdb_board_tables", text)

    def test_no_top_map_no_database(self):
        files = {k: v for k, v in FILES.items() if k != "ksx_top.yaml"}
        self.assertEqual(tables(files), {})


if __name__ == "__main__":
    unittest.main()
