"""The published schema of the description format: it validates every file of regs/, and it
rejects the broken descriptions of the generator's own tests at the item the generator names."""

import glob
import os
import textwrap
import unittest

import jsonschema
import yaml

from ksxgen_lib.describe import SCHEMA_DOC
from tests.helpers import block

REGS = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", "..", "..", "regs"))
VALIDATOR = jsonschema.Draft202012Validator(SCHEMA_DOC)


def deepest_paths(text):
    """Document paths ("children[0].fields[1]") of the schema's innermost errors."""
    out = set()
    stack = list(VALIDATOR.iter_errors(yaml.safe_load(textwrap.dedent(text))))
    while stack:
        e = stack.pop()
        if e.context:
            stack.extend(e.context)
            continue
        out.add("".join("[%d]" % p if isinstance(p, int) else ".%s" % p for p in e.absolute_path).lstrip("."))
    return out


class Schema(unittest.TestCase):
    def test_is_a_valid_schema_and_validates_every_shipped_file(self):
        jsonschema.Draft202012Validator.check_schema(SCHEMA_DOC)
        files = sorted(glob.glob(os.path.join(REGS, "*.yaml")))
        self.assertGreater(len(files), 50)
        for path in files:
            with open(path, encoding="utf-8") as fh:
                doc = yaml.safe_load(fh)
            self.assertEqual([e.message for e in VALIDATOR.iter_errors(doc)], [], path)

    def test_rejects_the_broken_descriptions_where_the_generator_does(self):
        cases = [
            (block("- {name: r, fields: [a:3, {name: b, width: 0}]}\n"), "children[0].fields[1].width"),
            (block("- {name: r, fields: [{name: a, width: 3, colour: red}]}\n"), "children[0].fields[0]"),
            (block("- {name: r, fields: [a:3, 'b 4']}\n"), "children[0].fields[1]"),
            (block("- {name: r, width: 8, access: wo}\n"), "children[0].access"),
            (block("- {name: r, width: 8, secure: 1}\n"), "children[0].secure"),
            (block("- {name: m, count: 16777217, entry: {width: 8}}\n"), "children[0].count"),
            (block("- {name: 2r, width: 3}\n"), "children[0].name"),
            (block("- {name: g, registers: [{each: 'r{0..1}', colour: red, registers: [{name: x, width: 32}]}]}\n"),
             "children[0].registers[0]"),
            ("block: bad\nchildren: []\nextra: 1\n", ""),
            ("top: t_t\ndir: t\ngroups: [{name: g, instances: [{name: x, type: a_t}]}]\n", "groups[0].instances[0]"),
            ("decoders: d\ndir: ksx_d\nclasses: [{name: x_t, fields: ['pg:4[1]'], width: 70000}]\n", "classes[0].width"),
        ]
        for text, path in cases:
            self.assertIn(path, deepest_paths(text), text)


if __name__ == "__main__":
    unittest.main()
