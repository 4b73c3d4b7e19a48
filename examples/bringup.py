#!/usr/bin/env python3
"""Bring the transmit scheduler up on the simulated chip (or a board), read it back, check
that an untouched block still holds its reset values, and save a golden image of the block.

    PYTHONPATH=build/python python3 examples/bringup.py [GOLDEN_FILE] [--backend BACKEND]

Exits 0 when every step checked out, 1 otherwise (each problem is printed on one line).
"""
import argparse
import os
import sys
import tempfile

import kestrix_csr


def bring_up_txs(chip):
    """Program the scheduler's flow control and start its hardware initialisation."""
    flow = chip["txs.cfg_flow_ctl"]
    flow.read()
    flow.max_credit = 7
    flow.total_credit = 0x2000
    flow.pipeline_max = 0x3fff          # bits 74:61, past the first 64 bits
    flow.write()

    glb = chip["txs.cfw_scheduler_glb"]
    glb["hbm_hw_init"] = 1
    glb["sram_hw_init"] = 1
    glb.write()

    # A few doorbells and one queue-group map entry.
    for qid in range(4):
        chip.write(f"txs.dhs_doorbell[{qid}]", (1 << 28) | qid)
    chip.write("txs.dhs_sch_qgrp_map_sram[12].q_grp", 5)


def read_back(chip):
    """The values just written, as the chip holds them; returns a list of problems."""
    problems = []
    flow = chip["txs.cfg_flow_ctl"]
    flow.read()
    for name, want in (("max_credit", 7), ("total_credit", 0x2000), ("pipeline_max", 0x3fff)):
        if flow[name] != want:
            problems.append(f"txs.cfg_flow_ctl.{name} = {flow[name]:#x}, wrote {want:#x}")
    if chip.read("txs.dhs_sch_qgrp_map_sram[12].q_grp") != 5:
        problems.append("txs.dhs_sch_qgrp_map_sram[12].q_grp did not keep 5")
    print(repr(flow))
    return problems


def reset_check(chip, instance):
    """Registers of an instance that differ from their reset value."""
    problems = []
    for entry in chip.registers(instance):
        if entry.kind != "register" or entry.count != 1:
            continue
        reg = chip[f"{instance}.{entry.name}"]
        if reg.read() != reg.reset:
            problems.append(f"{reg.name} = {reg.value:#x}, reset {reg.reset:#x}")
    print(f"reset check of {instance}: {len(problems)} of the registers differ")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("golden", nargs="?", help="golden image to write (default: a temporary file)")
    parser.add_argument("--backend", default="sim", help="sim or mmap:PATH[@BASE[,SIZE]]")
    args = parser.parse_args()

    chip = kestrix_csr.open(backend=args.backend)
    print(f"on {chip.backend}")
    bring_up_txs(chip)
    problems = read_back(chip)
    problems += reset_check(chip, "sge.te[0]")

    golden = args.golden or os.path.join(tempfile.mkdtemp(), "txs.golden")
    saved = chip.golden_write(golden, "txs", "cfg_")
    differing = chip.golden_compare(golden, "txs", "cfg_")
    problems += [f"{name}: golden {g:#x}, chip {h:#x}" for name, g, h in differing]
    print(f"saved {saved} registers to {golden}, {len(differing)} differ")

    for p in problems:
        print(f"problem: {p}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
