"""The full-scale synthetic description: the chip's class counts, its top map's groups and
instance multiplicity with synthetic block classes, a valid description with both register map
databases, and its command line."""

import collections
import os
import tempfile
import unittest

import yaml

from ksxgen_lib.cli import load
from ksxgen_lib.regdb import regdb_files
from ksxgen_lib.synthetic import full_docs
from tests.helpers import write_regs
from tests.test_generation import REPO_REGS, run_cli


def instance_shape(top_doc, rename=None):
    """[(group, [(instance, type, base, count, stride, registry)])] of a top map document."""
    out = []
    for g in top_doc["groups"]:
        out.append((g["name"], [(i["name"], (rename or {}).get(i["type"], i["type"]), i["base"],
                                 i.get("count", 1), i.get("stride"), i.get("registry"))
                                for i in g.get("instances") or []]))
    return out


class FullScale(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.docs = list(full_docs(REPO_REGS))
        cls.by_name = dict(cls.docs)
        with tempfile.TemporaryDirectory() as root:
            cls.reader = load(write_regs(root, cls.by_name))
        cls.classes = [c for out in cls.reader.outfiles for c in out.classes]

    def test_valid_with_the_chips_class_counts(self):
        self.assertEqual(self.reader.errors.lines, [])
        kinds = collections.Counter(c.kind for c in self.classes)
        entries = [c for c in self.classes if c.cname.endswith("_entry_t")]
        self.assertEqual(kinds["register"] - len(entries), 6187)
        self.assertEqual(kinds["memory"] + kinds["mem_large"], 321)
        self.assertEqual(len(entries), 321)
        self.assertEqual(kinds["decoder"] + kinds["composite"], 493)
        self.assertGreater(kinds["composite"], 0)
        self.assertEqual(kinds["block"], 140)
        self.assertEqual(kinds["top"], 2)
        self.assertEqual(self.docs, list(full_docs(REPO_REGS)))

    def test_top_map_keeps_the_chips_instances(self):
        with open(os.path.join(REPO_REGS, "ksx_top.yaml"), encoding="utf-8") as fh:
            real = yaml.safe_load(fh)
        syn = yaml.safe_load(self.by_name["syn_top.yaml"])
        self.assertEqual(syn["top"], "ksx_top_csr_t")
        # One synthetic class per block class of the chip's map, and none of the chip's own.
        real_types = {i["type"] for g in real["groups"] for i in g.get("instances") or []}
        pairs = {(r[1], s[1]) for rg, sg in zip(instance_shape(real), instance_shape(syn))
                 for r, s in zip(rg[1], sg[1])}
        rename = dict(pairs)
        self.assertEqual(len(rename), len(real_types))
        self.assertEqual(len(set(rename.values())), len(real_types))
        self.assertFalse(real_types & set(rename.values()))
        self.assertEqual(instance_shape(real, rename), instance_shape(syn))
        total = sum(i.get("count", 1) for g in syn["groups"] for i in g.get("instances") or [])
        self.assertEqual(total, sum(i.get("count", 1) for g in real["groups"] for i in g.get("instances") or []))
        # Every block fits its instance stride.
        sizes = {c.cname: c.byte_size for c in self.classes if c.kind == "block"}
        for g in syn["groups"]:
            for i in g.get("instances") or []:
                if "stride" in i:
                    self.assertLessEqual(sizes[i["type"]], i["stride"], i["name"])

    def test_both_register_map_databases(self):
        files = regdb_files(self.reader.outfiles)
        self.assertEqual(len(files), 1)
        text = files[0][1]
        self.assertIn("const ksx_regdb_tables& ksx_regdb_chip_tables()", text)
        self.assertIn("const ksx_regdb_tables& ksx_regdb_board_tables()", text)
        self.assertIn('{"sge.te[7]", "sge", ', text)


class FullScaleCommandLine(unittest.TestCase):
    def test_writes_a_folder_and_rejects_bad_input(self):
        with tempfile.TemporaryDirectory() as root:
            out = os.path.join(root, "syn")
            rc, text, err = run_cli(["--regs", REPO_REGS, "--synthetic", "full", "--synthetic-out", out])
            self.assertEqual((rc, err), (0, ""))
            n = len(os.listdir(out))
            self.assertEqual(text, "ksxgen: %d synthetic description files in %s\n" % (n, out))
            self.assertEqual(n, 140 + 5 + 2)

            no_top = write_regs(os.path.join(root, "other"), {"ksx_a.yaml": "block: a\nbyte_size: 0x100\nchildren: []\n"})
            rc, _, err = run_cli(["--regs", no_top, "--synthetic", "full", "--synthetic-out", out + "2"])
            self.assertEqual(rc, 1)
            self.assertEqual(err, "ksxgen: cannot write the synthetic description: %s: no top map ksx_top_csr_t\n" % no_top)

            rc, _, _ = run_cli(["--synthetic", "3", "--synthetic-out", os.path.join(root, "small")])
            self.assertEqual((rc, sorted(os.listdir(os.path.join(root, "small")))), (0, ["syn0000.yaml"]))


if __name__ == "__main__":
    unittest.main()
