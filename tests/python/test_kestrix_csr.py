"""The kestrix_csr module on the simulated chip: names, bits on the bus, errors, golden
images, knobs, routines, faults and the trace."""
import os
import tempfile
import unittest

import kestrix_csr

chip = kestrix_csr.open(backend="sim", knobs=["+py_test/knob=0x21"])
TXS = next(i.base for i in chip.instances() if i.name == "txs")


class Names(unittest.TestCase):
    def test_registers_arrays_entries_and_fields(self):
        flow = chip["txs.cfg_flow_ctl"]
        self.assertEqual((flow.name, flow.address, flow.width), ("txs.cfg_flow_ctl", TXS + 0x40010, 75))
        self.assertEqual(flow.reset, 0x22002382000c003e010)
        self.assertEqual(flow.fields[0], ("max_credit", 4, 0, "rw", 0x10))
        self.assertEqual(flow.fields[-1][:3], ("pipeline_max", 74, 61))
        self.assertEqual(chip["txs.dhs_doorbell[12]"].address - chip["txs.dhs_doorbell[0]"].address, 12 * 4)
        te = chip["sge.te[1].base"]
        self.assertEqual(chip.decode(te.address)["register"], "sge.te[1].base")
        self.assertIn("txs.cfg_flow_ctl", chip.find("cfg_flow"))
        self.assertIn(("dhs_doorbell", 0xf0000, 29, 2048, "memory"), chip.registers("txs"))
        d = chip.decode(TXS + 0x40014)
        self.assertEqual((d["register"], d["word"], d["fields"][0]), ("txs.cfg_flow_ctl", 1, "common_credit"))
        self.assertEqual(repr(chip["txs.sta_sch_spare"]).splitlines()[1].split(),
                         ["fld", "[31:0]", "0x0", "reset", "0x0", "ro"])


class Bits(unittest.TestCase):
    def test_field_writes_land_on_their_bits(self):
        flow = chip["txs.cfg_flow_ctl"]
        flow.write(0)
        flow.common_credit = 0x3fff   # bits 32:19, across the first word boundary
        flow["pipeline_max"] = 0x3fff  # bits 74:61, past 64 bits
        flow.write()
        self.assertEqual(flow.read(), (0x3fff << 61) | (0x3fff << 19))
        self.assertEqual([chip.read_addr(TXS + 0x40010 + 4 * w) for w in range(3)], [0xfff80000, 0xe0000001, 0x7ff])
        self.assertEqual(chip.read("txs.cfg_flow_ctl.pipeline_max"), 0x3fff)
        flow.value = (1 << 75) - 1
        flow.write()
        self.assertEqual(chip["txs.cfg_flow_ctl"].to_dict()["dynamic_alpha"], 7)
        # Values around the 64-bit limb boundary cross both ways unchanged.
        for v in ((1 << 64) - 1, 1 << 64, (1 << 74) | 1, (1 << 75) - 1):
            chip.write("txs.cfg_flow_ctl", v)
            self.assertEqual(chip.read("txs.cfg_flow_ctl"), v, hex(v))

    def test_write_one_to_clear_fields_are_sent_only_when_assigned(self):
        chip.write("txs.int_sch.int_test_set", 0b101)
        pending = chip["txs.int_sch.intreg"]
        self.assertEqual(pending.read(), 0b101)
        pending.write()  # write-back of what was read clears nothing
        self.assertEqual(pending.read(), 0b101)
        pending.sch_invalid_lif_hit_interrupt = 1
        pending.write()
        self.assertEqual(pending.read(), 0b100)

    def test_address_level_bytes(self):
        base = chip["txs.dhs_doorbell[0]"].address
        chip.block_write(base, bytes(range(8)))
        self.assertEqual(chip.block_read(base, 2), bytes(range(8)))
        self.assertEqual(chip.read_addr(base + 4), 0x07060504)
        chip.burst_write(base + 1, b"\xaa\xbb")
        self.assertEqual(chip.burst_read(base, 4), b"\x00\xaa\xbb\x03")


class Errors(unittest.TestCase):
    def test_each_error_type_and_text(self):
        flow = chip["txs.cfg_flow_ctl"]
        cases = [
            (lambda: chip["txs.nope"], KeyError, "unknown register 'txs.nope': "),
            (lambda: chip["txs.cfg_flow_ctl.nope"], KeyError, "no field 'nope' in txs.cfg_flow_ctl"),
            (lambda: chip.registers("nope"), KeyError, "unknown instance 'nope' (try 'info')"),
            (lambda: setattr(flow, "max_credit", 32), OverflowError, "value 0x20 does not fit 5 bits of txs.cfg_flow_ctl.max_credit"),
            (lambda: flow.write(1 << 75), OverflowError, "value 0x8000000000000000000 does not fit 75 bits of txs.cfg_flow_ctl"),
            (lambda: flow.write(-1), ValueError, "bad value '-1': expected a non-negative number"),
            (lambda: chip.write("txs.sta_sch_spare", 1), ValueError, "register txs.sta_sch_spare is read-only; nothing written"),
            (lambda: chip.read_addr(TXS + 2), ValueError, f"address {TXS + 2:#x} is not word-aligned"),
            (lambda: chip.read_addr(0x70000000), ValueError, "address 0x70000000 (4 bytes, chip 0) is outside the backend window"),
            (lambda: chip.decode(1 << 64), ValueError, "bad address '0x10000000000000000': more than 64 bits"),
            (lambda: chip.call("nope"), KeyError, "unknown routine 'nope'"),
            (lambda: chip.call("ksx_get_local_temp", 1), ValueError, "ksx_get_local_temp takes 0 arguments, got 1"),
            (lambda: chip.sim_fault(0, 4, "melt"), ValueError, "bad fault 'melt': expected stuck, drop or noresp"),
            (lambda: kestrix_csr.open(backend="sim"), ValueError, "the library is already open on "),
            (lambda: chip.knobs["py_test/none"], KeyError, "no knob 'py_test/none'"),
        ]
        for fn, kind, text in cases:
            with self.subTest(text=text), self.assertRaises(kind) as caught:
                fn()
            self.assertTrue(str(caught.exception.args[0]).startswith(text), caught.exception.args[0])


class Around(unittest.TestCase):
    def test_golden_round_trip(self):
        path = os.path.join(tempfile.mkdtemp(), "g.img")
        chip.write("txs.cfg_flow_ctl", 0x1234)
        self.assertEqual(chip.golden_write(path, "txs", "cfg_flow"), 1)
        self.assertEqual(chip.golden_compare(path, "txs", "cfg_flow"), [])
        chip.write("txs.cfg_flow_ctl.max_credit", 3)
        self.assertEqual(chip.golden_compare(path, "txs", "cfg_flow"), [("txs.cfg_flow_ctl", 0x1234, 0x1223)])
        self.assertEqual(chip.golden_read(path, "txs", "cfg_flow")["txs.cfg_flow_ctl"], 0x1234)
        os.truncate(path, 0x1000)  # a short image gives no partial values
        with self.assertRaisesRegex(ValueError, "g.img: the file ends at 0x1000, before the end of register txs."):
            chip.golden_read(path, "txs", "cfg_flow")
        # The library's open path: its reasons, and FIFOs refused without waiting.
        with self.assertRaises(FileNotFoundError) as caught:
            chip.golden_read(path + ".missing")
        self.assertEqual(caught.exception.strerror, "cannot open for reading: No such file or directory")
        fifo = path + ".fifo"
        os.mkfifo(fifo)
        for fn in (chip.golden_write, chip.golden_compare):
            with self.assertRaises(OSError) as caught:
                fn(fifo, "txs", "cfg_flow")
            self.assertEqual((caught.exception.strerror, caught.exception.filename), ("not a regular file, refused", fifo))

    def test_knobs(self):
        self.assertEqual(chip.knobs["py_test/knob"], "0x21")
        chip.knobs["py_test/knob"] = 5
        self.assertEqual((chip.knobs.value("py_test/knob"), "py_test/knob" in chip.knobs), (5, True))
        path = os.path.join(tempfile.mkdtemp(), "k.txt")
        with open(path, "w") as f:
            f.write("+py_test/file=7 // comment\n")
        chip.knobs.load(path)
        self.assertEqual(chip.knobs.get("py_test/file"), "7")
        with self.assertRaises(FileNotFoundError):
            chip.knobs.load(path + ".missing")

    def test_routine_call(self):
        help_text = {r.name: r for r in chip.routines()}["ksx_get_local_temp"]
        self.assertEqual(help_text.argc, 0)
        self.assertIn("local", help_text.help)
        self.assertEqual(chip.call("ksx_get_local_temp"), 35)

    def test_faults_and_trace(self):
        addr = chip["txs.dhs_doorbell[5]"].address
        chip.write_addr(addr, 0x11)
        stuck = chip.sim_fault(addr, 4, "stuck", 0xabc)
        chip.sim_fault(addr + 4, 4, "noresp")
        chip.trace()
        self.assertEqual((chip.read_addr(addr), chip.read_addr(addr + 4)), (0xabc, 0xdeadbeef))
        chip.trace(False)
        self.assertEqual(chip.trace_lines(), [
            f"read chip=0 addr={addr:#x} state=0 flags=0x0 -> 0xabc",
            f"read chip=0 addr={addr + 4:#x} state=0 flags=0x0 -> 0xdeadbeef"])
        chip.sim_clear(stuck)
        self.assertEqual(chip.read_addr(addr), 0x11)
        chip.sim_clear()
        self.assertEqual(chip.read_addr(addr + 4), 0)


if __name__ == "__main__":
    unittest.main()
