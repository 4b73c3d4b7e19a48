"""Command line of ksxgen."""

import argparse
import os
import sys

from .cheader import CHeaderError, c_header_files
from .describe import Reader
from .emit import render, write_outputs
from .html import site_files
from .regdb import regdb_files, regdb_outputs
from .synthetic import write_full, write_synthetic


def load(regs_dir):
    """Reads and validates every description file; returns the reader (errors in reader.errors)."""
    return Reader().read_dir(regs_dir, os.path.basename(os.path.normpath(regs_dir)))


class _Parser(argparse.ArgumentParser):
    """Argument errors in one line, like every other error of the generator."""

    def error(self, message):
        print("ksxgen: %s (ksxgen --help shows the options)" % message, file=sys.stderr)
        sys.exit(2)


def fail(text, status=1):
    print("ksxgen: %s" % text, file=sys.stderr)
    return status


def print_errors(errors, what):
    for line in errors.report():
        print(line, file=sys.stderr)
    print("ksxgen: %d error(s), %s" % (len(errors), what), file=sys.stderr)


def main(argv=None):
    """Runs the generator; every failure is one line on standard error and a non-zero status."""
    try:
        return run(argv)
    except KeyboardInterrupt:
        return fail("interrupted", 130)
    except Exception as exc:  # a fault of the generator itself: still one line, no traceback
        return fail("internal error: %s: %s" % (type(exc).__name__, exc), 3)


def run(argv=None):
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    ap = _Parser(prog="ksxgen", description="Generates the register model classes "
                                 "from the register description.")
    ap.add_argument("--regs", default=os.path.normpath(os.path.join(here, "..", "..", "regs")),
                    help="folder of the description files (default: regs/ of the tree)")
    ap.add_argument("--out", help="folder to generate into (the build's gen/ folder)")
    ap.add_argument("--html", metavar="OUT", help="write the register reference web site into OUT")
    ap.add_argument("--c-header", metavar="OUT", help="write the C headers for firmware into OUT")
    ap.add_argument("--check", action="store_true", help="validate only")
    ap.add_argument("--list-outputs", action="store_true",
                    help="print the files a generation writes, relative to --out")
    ap.add_argument("--stamp", help="file to touch after a successful generation")
    ap.add_argument("--synthetic", metavar="N|full",
                    help="write a synthetic description into --synthetic-out: N register classes, "
                    "or 'full': the chip's class counts and the shape of its top map (read from --regs)")
    ap.add_argument("--synthetic-out", help="folder for --synthetic")
    args = ap.parse_args(argv)

    if args.synthetic is not None:
        full = args.synthetic == "full"
        if not full and not args.synthetic.isdigit():
            ap.error("--synthetic takes a number of register classes or 'full'")
        if not args.synthetic_out or (not full and int(args.synthetic) < 1):
            ap.error("--synthetic needs N >= 1 and --synthetic-out")
        if full:
            if not os.path.isdir(args.regs):
                return fail("%s: not a description folder" % args.regs, 2)
            reader = load(args.regs)
            if reader.errors:
                print_errors(reader.errors, "no synthetic description written")
                return 1
        try:
            n = write_full(args.regs, args.synthetic_out) if full else \
                write_synthetic(int(args.synthetic), args.synthetic_out)
        except OSError as exc:
            return fail("%s: cannot write the synthetic description: %s"
                        % (exc.filename or args.synthetic_out, exc.strerror))
        except (ValueError, KeyError) as exc:
            return fail("cannot write the synthetic description: %s" % exc)
        print("ksxgen: %d synthetic description files in %s" % (n, args.synthetic_out))
        return 0

    if not os.path.isdir(args.regs):
        return fail("%s: not a description folder" % args.regs, 2)
    reader = load(args.regs)
    if reader.errors:
        print_errors(reader.errors, "nothing generated")
        return 1
    if args.check:
        return 0
    if args.list_outputs:
        for out in reader.outfiles:
            print(out.stem + ".h")
            print(out.stem + ".cc")
        for rel in regdb_outputs(reader.outfiles):
            print(rel)
        return 0
    if not (args.out or args.html or args.c_header):
        ap.error("--out, --html or --c-header is required to generate")
    outputs = []
    if args.out:
        outputs.append(("--out", args.out, lambda: render(reader.outfiles) + regdb_files(reader.outfiles)))
    if args.html:
        outputs.append(("--html", args.html, lambda: site_files(reader.outfiles)))
    if args.c_header:
        outputs.append(("--c-header", args.c_header, lambda: c_header_files(reader.outfiles)))
    total = 0
    for option, folder, make in outputs:
        try:
            files = make()
        except CHeaderError as exc:
            return fail(str(exc))
        try:
            write_outputs(files, folder)
        except OSError as exc:
            return fail("%s %s: cannot write %s: %s" % (option, folder, exc.filename or folder, exc.strerror))
        total += len(files)
    if args.stamp:
        try:
            with open(args.stamp, "w", encoding="utf-8") as fh:
                fh.write("%d files\n" % total)
        except OSError as exc:
            return fail("--stamp %s: cannot write: %s" % (args.stamp, exc.strerror))
    return 0
