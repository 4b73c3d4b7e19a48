// The shell's transmit scheduler commands: where a queue lands in the queue-group tables.
#include <sstream>

#include "apps/ksxcsr/shell.h"
#include "verif/apis/ksx_txs_api.h"

void ksx_shell::add_txs_commands() {
    add("qgrp", "qgrp LIF COS QID",
        "where a queue of a LIF and class lands: its queue-map entry, queue group, group table entry and the queue ids "
        "that group serves (txs instance 0)",
        3, 3, [this](const args_t& a) {
            const uint32_t lif = parse_u32(a[0], "LIF"), cos = parse_u32(a[1], "COS"), qid = parse_u32(a[2], "QID");
            if (cos > 15) throw ksx_shell_error{"qgrp: COS " + std::to_string(cos) + " outside 0..15"};
            ksx_txs_qgrp_where w;
            std::ostringstream head;
            head << "lif " << lif << " cos " << cos << " qid 0x" << std::hex << qid << std::dec;
            if (!ksx_txs_qgrp_lookup(0, 0, int(lif), int(cos), int(qid), w)) {
                err_ << "ksxcsr: qgrp: " << head.str() << ": no queue group (the ERROR line above says why)\n";
                return KSX_CHECK_FAILED;
            }
            out_ << head.str() << "\n"
                 << "  cos index " << w.cos_idx << ", cos base " << w.cos_base << ", queue-map entry " << w.map_index
                 << " = cos base + qid / 2048\n"
                 << "  queue group " << w.qgrp << " = dhs_sch_qgrp_cfg_" << w.table << "_sram[" << w.entry << "]"
                 << ", map range " << w.qid_start << ".." << w.qid_end << "\n"
                 << "  serves qid 0x" << std::hex << w.qid_lo << "..0x" << w.qid_hi << std::dec << "\n";
            return KSX_OK;
        });
}
