"""The register reference site and the C headers, generated from a small description: the
pages hold the registers, fields and addresses; the search finds a register by name and by an
address inside it in a real headless browser (skipped, with the reason, where none is
installed); the headers compile as C99 and their macros hold the offsets, masks and resets (the
chip's own headers against the library, also for AArch64: check_c_header_regdb.py)."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

from tests.helpers import write_regs

KSXGEN = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "ksxgen")
SMALL = {
    "ksx_s.yaml": """\
        # Scheduler test block.
        block: s
        byte_size: 0x1000
        children:
          - {name: base, width: 32}
          # Credits of the flow control.
          - {name: cfg_flow_ctl, offset: 0x10, reset: "0x22002382000c003e010",
             fields: [max_credit:5, total_credit:14, common_credit:14, per_cls_credit:14,
                      private_credit:10, dynamic_share_en:1, dynamic_alpha:3, pipeline_max:14]}
          - {name: cfg_lane, offset: 0x40, array: 4, fields: [en:1, spare:31]}
          - {name: dhs_m, offset: 0x800, count: 200, entry: {fields: [qid:24, cos:4, set:1]}}
          - {name: grp, offset: 0x100, registers: [{name: a_cfg_glb, width: 32, secure: true}]}
        """,
    "top.yaml": """\
        top: ksx_top_csr_t
        dir: ksx_top
        groups:
          - name: g
            instances: [{name: s, type: ksx_s_csr_t, base: 0x52000000, count: 2, stride: 0x10000}]
          - name: e
        """,
}
CHROMIUM = shutil.which("chromium") or shutil.which("chromium-browser")
CFLAGS = ["-std=c99", "-Wall", "-Wextra", "-Werror", "-pedantic"]


def generate(option):
    tmp = tempfile.TemporaryDirectory()
    regs = write_regs(tmp.name, SMALL)
    out = os.path.join(tmp.name, "out")
    p = subprocess.run([sys.executable, KSXGEN, "--regs", regs, option, out], capture_output=True, text=True)
    assert p.returncode == 0, p.stderr
    return tmp, out


def read(path):
    with open(path, encoding="utf-8") as fh:
        return fh.read()


class Site(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp, cls.out = generate("--html")

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_pages_hold_registers_fields_and_addresses(self):
        index = read(os.path.join(self.out, "index.html"))
        self.assertIn('<a href="inst/g.s_0_.html">g.s[0]</a>', index)
        self.assertIn('<td class="addr">0x52010000</td><td class="addr">0x52010fff</td>', index)
        self.assertIn("no blocks (ksx_e_lgrp_csr_t)", index)
        page = read(os.path.join(self.out, "class", "ksx_s_csr_t.html"))
        for row in ('<tr id="cfg_flow_ctl"><td class="addr">0x10</td>',
                    '<tr id="grp.a_cfg_glb"><td class="addr">0x100</td>',
                    "<td>memory</td><td>29</td><td>4</td><td>200</td>",
                    "<td>array</td><td>32</td><td>4</td><td>4</td>",
                    "<tr><td>pipeline_max</td><td>74..61</td><td>14</td><td class=\"addr\">0x1100</td><td>read/write</td></tr>"):
            self.assertIn(row, page)
        self.assertIn('<p class="note">Scheduler test block.</p>', page)
        self.assertIn('<td class="addr">0x22002382000c003e010</td><td class="note">Credits of the flow control.</td>', page)
        # The 75-bit diagram: three word rows, fields split where they cross a word.
        diag = page[page.index('id="f.cfg_flow_ctl"'):page.index('id="f.cfg_lane"')]
        self.assertEqual(re.findall(r"<tr><th>(\d+)</th>", diag), ["95", "63", "31"])
        self.assertIn('<td class="pad" colspan="21"></td><td colspan="11" class="" title="pipeline_max[13:3] bits 74..64">', diag)
        self.assertIn('title="common_credit[13:13] bits 32..32"', diag)
        inst = read(os.path.join(self.out, "inst", "g.s_1_.html"))
        self.assertIn('<td class="addr">0x52010800..0x52010b1f</td>', inst)   # 200 entries of 4 bytes
        self.assertIn('<td class="addr">0x52010040..0x5201004f</td>', inst)   # 4 elements
        sizes = [os.path.getsize(os.path.join(d, f)) for d, _, fs in os.walk(self.out) for f in fs]
        self.assertLess(max(sizes), 2 * 1024 * 1024)
        self.assertNotRegex(index + page, r"(src|href)=\"(https?:)?//")   # nothing from the network

    def test_search_in_a_browser(self):
        if CHROMIUM is None:
            self.skipTest("no Chromium installed (scripts/install-deps installs it): search not checked in a browser")
        for query, expected in (("cfg_flow", "ksx_s_csr_t cfg_flow_ctl at +0x10 (g.s[0]: 0x52000010, g.s[1]: 0x52010010)"),
                                ("0x5201001c", "g.s[1].cfg_flow_ctl at 0x52010010"),
                                ("0x52010b1c", "g.s[1].dhs_m[199] at 0x52010b1c"),
                                ("dynamic_alpha", "ksx_s_csr_t cfg_flow_ctl.dynamic_alpha"),
                                ("g.s", "g.s[0] at 0x52000000")):
            p = subprocess.run([CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--dump-dom",
                                "file://%s/search.html?q=%s" % (self.out, query)],
                               capture_output=True, text=True, timeout=120)
            results = re.findall(r"<li class=\"\w+\"><a href=\"[^\"]*\">([^<]*)</a></li>", p.stdout)
            self.assertIn(expected, results, (query, p.stdout[-2000:], p.stderr[-2000:]))


class CHeader(unittest.TestCase):
    def test_headers_compile_and_hold_the_layout(self):
        tmp, out = generate("--c-header")
        with tmp:
            self.assertEqual(sorted(os.listdir(out)), ["ksx_s_regs.h", "ksx_top_bases.h"])
            src = os.path.join(tmp.name, "check.c")
            with open(src, "w", encoding="utf-8") as fh:
                fh.write("""#include <stdio.h>
#include "ksx_s_regs.h"
#include "ksx_top_bases.h"
int main(void) {
    unsigned long long w[3] = {KSX_S_CFG_FLOW_CTL_RESET_W0, KSX_S_CFG_FLOW_CTL_RESET_W1, KSX_S_CFG_FLOW_CTL_RESET_W2};
    unsigned long long pm = ((w[1] & KSX_S_CFG_FLOW_CTL_PIPELINE_MAX_W1_MASK) >> KSX_S_CFG_FLOW_CTL_PIPELINE_MAX_W1_SHIFT)
        | (((w[2] & KSX_S_CFG_FLOW_CTL_PIPELINE_MAX_W2_MASK) >> KSX_S_CFG_FLOW_CTL_PIPELINE_MAX_W2_SHIFT)
           << KSX_S_CFG_FLOW_CTL_PIPELINE_MAX_W2_LSB);
    unsigned long long lo = w[0] | (w[1] << 32);
    printf("%llx %llx %llu %llx\\n", KSX_TOP_G_S_BASE(1) + KSX_S_CFG_FLOW_CTL_OFFSET, pm,
           (lo & KSX_S_CFG_FLOW_CTL_TOTAL_CREDIT_MASK) >> KSX_S_CFG_FLOW_CTL_TOTAL_CREDIT_SHIFT,
           KSX_S_DHS_M_OFFSET + (KSX_S_DHS_M_COUNT - 1ULL) * KSX_S_DHS_M_STRIDE);
    printf("%llx %u %d %u\\n", KSX_S_DHS_M_SET_MASK, KSX_S_CFG_LANE_COUNT, KSX_S_GRP_A_CFG_GLB_SECURE,
           KSX_S_BYTE_SIZE);
    return 0;
}
""")
            exe = os.path.join(tmp.name, "check")
            subprocess.run(["cc"] + CFLAGS + ["-I", out, src, "-o", exe], check=True)
            self.assertEqual(subprocess.run([exe], capture_output=True, text=True).stdout,
                             "52010010 1100 7936 b1c\n10000000 4 1 4096\n")


if __name__ == "__main__":
    unittest.main()
