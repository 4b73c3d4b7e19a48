"""The C headers of the shipped chip against the C++ library: a generated C program prints the
value of every macro the headers define (compiled as C99 with -Wall -Wextra -Werror), and each
register, field and instance of the library's register map database must find its macros
there with the same values. Run by ctest with the database printer (regdb_dump.cc) as its
argument; the headers also compile for AArch64 where the cross compiler is installed."""

import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from ksxgen_lib.cheader import block_stem, macro  # noqa: E402

KSXGEN = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "ksxgen")
REGS = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", "..", "..", "regs"))
CFLAGS = ["-std=c99", "-Wall", "-Wextra", "-Werror", "-pedantic"]


def expected_macros(dump_lines):
    """{macro: value} that the database's rows call for."""
    want = {}
    for line in dump_lines:
        k = line.split()
        if k[0] == "C":
            want[macro(block_stem(k[1]), "byte_size")] = int(k[2])
        elif k[0] == "R":
            p = macro(block_stem(k[1]), k[2])
            off, width, bs, count, reset = int(k[3]), int(k[4]), int(k[5]), int(k[6]), int(k[7], 16)
            want.update({p + "_OFFSET": off, p + "_WIDTH": width, p + "_BYTE_SIZE": bs})
            if count > 1:
                want[p + "_COUNT"] = count
            if width <= 64:
                want[p + "_RESET"] = reset
            else:
                for w in range((width + 31) // 32):
                    want["%s_RESET_W%d" % (p, w)] = (reset >> (32 * w)) & 0xFFFFFFFF
        elif k[0] == "F":
            p = macro(block_stem(k[1]), k[2], k[3])
            lsb, width = int(k[4]), int(k[5])
            want.update({p + "_SHIFT": lsb, p + "_WIDTH": width})
            hi = lsb + width - 1
            if hi < 64:
                want[p + "_MASK"] = ((1 << width) - 1) << lsb
            if hi >= 64 or lsb // 32 != hi // 32:
                for w in range(lsb // 32, hi // 32 + 1):
                    lo_bit = max(lsb, 32 * w)
                    n = min(hi, 32 * w + 31) - lo_bit + 1
                    want["%s_W%d_MASK" % (p, w)] = ((1 << n) - 1) << (lo_bit - 32 * w)
        elif k[0] == "I" and int(k[4]) >= 0:
            m = re.match(r"^(?:([^.]+)\.)?([^.\[]+)(?:\[(\d+)\])?$", k[1])
            group, name, idx = m.group(1) or k[2], m.group(2), m.group(3)
            p = macro("ksx_top", group, name) + "_BASE"
            want[p + ("(%s)" % idx if idx is not None else "")] = int(k[3])
    return want


def main(dump_program):
    dump = subprocess.run([dump_program], capture_output=True, text=True, check=True).stdout.splitlines()
    want = expected_macros(dump)
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "c")
        subprocess.run([sys.executable, KSXGEN, "--regs", REGS, "--c-header", out], check=True)
        headers = sorted(f for f in os.listdir(out) if f.endswith(".h"))
        defined = set()
        for h in headers:
            with open(os.path.join(out, h), encoding="utf-8") as fh:
                defined.update(re.findall(r"^#define ([A-Z0-9_]+)[ (]", fh.read(), re.M))
        exprs = sorted(n for n in want if n.split("(")[0] in defined or n in defined)
        missing = sorted(n for n in want if n.split("(")[0] not in defined)
        prog = ["#include <stdio.h>"] + ['#include "%s"' % h for h in headers] + ["int main(void) {"]
        prog += ['    printf("%%s %%llu\\n", "%s", (unsigned long long)(%s));' % (n, n) for n in exprs]
        prog += ["    return 0;", "}"]
        src = os.path.join(tmp, "macros.c")
        with open(src, "w", encoding="utf-8") as fh:
            fh.write("\n".join(prog) + "\n")
        exe = os.path.join(tmp, "macros")
        subprocess.run(["cc"] + CFLAGS + ["-I", out, src, "-o", exe], check=True)
        got = {}
        for line in subprocess.run([exe], capture_output=True, text=True, check=True).stdout.splitlines():
            name, value = line.rsplit(" ", 1)
            got[name] = int(value)
        wrong = ["%s: C %s, library %s" % (n, got.get(n), want[n]) for n in exprs if got.get(n) != want[n]]
        cross = shutil.which("aarch64-linux-gnu-gcc")
        if cross:
            subprocess.run([cross] + CFLAGS + ["-I", out, "-c", src, "-o", exe + ".o"], check=True)
        else:
            print("aarch64-linux-gnu-gcc not installed: the headers were compiled for the host only")
    for line in (missing[:20] + wrong[:20]):
        print(line)
    print("%d macros compared, %d missing, %d different" % (len(exprs), len(missing), len(wrong)))
    print("%d passed, %d failed" % (len(exprs) - len(wrong), len(missing) + len(wrong)))
    return 1 if missing or wrong or len(exprs) < 1000 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
