"""Errors a broken input or a bad command line can cause: each is one line naming the file,
the item and the problem, the exit status is not 0, and no Python traceback is printed."""

import os
import subprocess
import sys
import tempfile
import textwrap
import unittest

from tests.helpers import block, errors_of, write_regs

KSXGEN = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "ksxgen")
GOOD = {"ksx_s.yaml": block("- {name: base, width: 32}\n")}
TE = "block: te\nbyte_size: 0x40000\nchildren: [{name: base, width: 32}]\n"


def ksxgen(*args):
    p = subprocess.run([sys.executable, KSXGEN] + list(args), capture_output=True, text=True)
    return p.returncode, p.stderr.splitlines()


def top(instances):
    return "top: t_t\ndir: t\ngroups:\n  - name: g\n    instances:\n" + textwrap.indent(instances, "      ")


class InputErrors(unittest.TestCase):
    def test_unreadable_texts_are_one_error_each(self):
        with tempfile.TemporaryDirectory() as root:
            regs = write_regs(root, {})
            with open(os.path.join(regs, "ksx_bad.yaml"), "wb") as fh:
                fh.write(b"block: bad\n# caf\xe9\n")
            from ksxgen_lib.cli import load
            self.assertEqual(load(regs).errors.lines,
                             ["regs/ksx_bad.yaml: line 2: not UTF-8 text (byte 0xe9)"])
        self.assertEqual(errors_of({"ksx_bad.yaml": block("- {name: r, width: 8, \"a\\nb\": 1}\n")}),
                         ["regs/ksx_bad.yaml: children[0].a\\nb: unknown key"])
        self.assertEqual(errors_of({"ksx_bad.yaml": "block: bad\nbyte_size: 1\x07\n"}),
                         ["regs/ksx_bad.yaml: line 2: YAML: character #x0007 is not allowed"])
        for text, line in (("block: bad\nbyte_size: 16\nchildren:\n  - {[a, b]: 1}\n", 4),
                           ("block: bad\n? {a: 1}\n: 2\n", 2)):
            self.assertEqual(errors_of({"ksx_bad.yaml": text}),
                             ["regs/ksx_bad.yaml: line %d: YAML: a list or mapping cannot be a key" % line])
        for depth in (33, 100000):  # one past the limit, and far past what a reader could recurse
            self.assertEqual(errors_of({"ksx_bad.yaml": "block: bad\nx: " + "[" * depth + "]" * depth + "\n"}),
                             ["regs/ksx_bad.yaml: lists and mappings nested deeper than 32 levels"])
        # A byte-order mark is not an error.
        self.assertEqual(errors_of({"ksx_s.yaml": "\ufeff" + GOOD["ksx_s.yaml"]}), [])

    def test_top_map_windows(self):
        self.assertEqual(errors_of({"te.yaml": TE, "top.yaml": top(
            "- {name: te, type: ksx_te_csr_t, base: 0x100000, count: 2, stride: 0x40000}\n"
            "- {name: x, type: ksx_te_csr_t, base: 0x140000}\n"
            "- {name: y, type: ksx_te_csr_t, base: 0xfffffffffffe0000}\n"
            "- {name: z, type: ksx_te_csr_t, base: 0xfffffffffff40000, count: 4, stride: 0x40000}\n")}),
            ["regs/top.yaml: groups[0].instances[2].base: instances reach 0x1000000000001ffff, past 64-bit addresses",
             "regs/top.yaml: groups[0].instances[3].base: instances reach 0x1000000000003ffff, past 64-bit addresses",
             "regs/top.yaml: groups[0].instances[1].base: g.x 0x140000..0x17ffff overlaps g.te[1] (0x140000..0x17ffff)"])
        # Touching windows are fine; one inside another's window is not.
        self.assertEqual(errors_of({"te.yaml": TE, "top.yaml": top(
            "- {name: a, type: ksx_te_csr_t, base: 0x0}\n- {name: b, type: ksx_te_csr_t, base: 0x40000}\n")}), [])

    def test_a_file_writing_the_databases_output(self):
        self.assertEqual(errors_of({"a.yaml": "decoders: ksx_regdb_tables\ndir: ksx_regdb\nclasses: [{name: a_t, fields: [a:1]}]\n"}),
                         ["regs/a.yaml: writes model/ksx_regdb/ksx_regdb_tables.cc, as the register map database does"])

    def test_errors_stop_after_50(self):
        with tempfile.TemporaryDirectory() as root:
            regs = write_regs(root, {"ksx_bad.yaml": block("".join("- {name: r%d, width: 0}\n" % i for i in range(60)))})
            rc, err = ksxgen("--regs", regs, "--check")
        self.assertEqual(rc, 1)
        self.assertEqual(len(err), 52)
        self.assertEqual(err[-2:], ["... and 10 more", "ksxgen: 60 error(s), nothing generated"])


class CommandLineErrors(unittest.TestCase):
    def test_each_failure_is_one_line(self):
        with tempfile.TemporaryDirectory() as root:
            regs = write_regs(root, GOOD)
            afile = os.path.join(root, "afile")
            open(afile, "w").close()
            broken = write_regs(os.path.join(root, "broken"), {"ksx_bad.yaml": "block: [\n"})
            cases = [
                (["--regs", regs, "--out", afile], 1, "ksxgen: --out %s: cannot write %s/model" % (afile, afile)),
                (["--regs", regs, "--out", "/proc/ksxgen"], 1, "ksxgen: --out /proc/ksxgen: cannot write"),
                (["--regs", regs, "--out", os.path.join(root, "gen"), "--stamp", root], 1,
                 "ksxgen: --stamp %s: cannot write: Is a directory" % root),
                (["--regs", os.path.join(root, "none")], 2, "ksxgen: %s/none: not a description folder" % root),
                (["--regs", regs], 2, "ksxgen: --out, --html or --c-header is required to generate (ksxgen --help shows the options)"),
                (["--synthetic", "x", "--synthetic-out", root], 2, "ksxgen: --synthetic takes a number"),
            ]
            for args, status, start in cases:
                rc, err = ksxgen(*args)
                self.assertEqual((rc, len(err)), (status, 1), (args, err))
                self.assertTrue(err[0].startswith(start), (args, err))
            rc, err = ksxgen("--synthetic", "full", "--regs", broken, "--synthetic-out", os.path.join(root, "syn"))
            self.assertEqual(rc, 1)
            self.assertEqual(err[-1], "ksxgen: 1 error(s), no synthetic description written")
            self.assertTrue(err[0].startswith("regs/ksx_bad.yaml: line 2: YAML"), err)
            self.assertFalse(os.path.exists(os.path.join(root, "syn")))


if __name__ == "__main__":
    unittest.main()
