"""The published schema of the description format: a valid schema that validates every file of regs/
(the generator checks values through it, so its messages are pinned by test_validation)."""

import glob
import os
import unittest

import jsonschema
import yaml

from ksxgen_lib.describe import SCHEMA_DOC

REGS = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", "..", "..", "regs"))
VALIDATOR = jsonschema.Draft202012Validator(SCHEMA_DOC)


class Schema(unittest.TestCase):
    def test_is_a_valid_schema_and_validates_every_shipped_file(self):
        jsonschema.Draft202012Validator.check_schema(SCHEMA_DOC)
        files = sorted(glob.glob(os.path.join(REGS, "*.yaml")))
        self.assertGreater(len(files), 50)
        for path in files:
            with open(path, encoding="utf-8") as fh:
                doc = yaml.safe_load(fh)
            self.assertEqual([e.message for e in VALIDATOR.iter_errors(doc)], [], path)


if __name__ == "__main__":
    unittest.main()
