"""Helpers for the generator tests: descriptions written into a temporary regs/ folder."""

import os
import tempfile
import textwrap

from ksxgen_lib.cli import load


def write_regs(root, files):
    regs = os.path.join(root, "regs")
    os.makedirs(regs, exist_ok=True)
    for name, text in files.items():
        with open(os.path.join(regs, name), "w", encoding="utf-8") as fh:
            fh.write(textwrap.dedent(text))
    return regs


def errors_of(files):
    """Validation errors of a description given as {file name: YAML text}."""
    with tempfile.TemporaryDirectory() as root:
        return load(write_regs(root, files)).errors.lines


def block(children, extra=""):
    """A block file for block 'bad' with the given children (YAML list text)."""
    return "block: bad\nbyte_size: 0x1000\nchildren:\n" + textwrap.indent(textwrap.dedent(children), "  ") + extra
