// Entries of a memory with more than 128 entries: entry 0 and entry N-1 exist from the
// start, every other entry is created on first request and kept for the wrapper's life,
// so that a memory of millions of entries costs two entries until entries are used.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "ip/verif/pcpp/logmsg.h"
#include "model/utils/ksx_csr_base.h"

/// Array of N entries of the generated entry register T, created on demand.
template <typename T, int N>
class ksx_csr_large_array_wrapper : public ksx_csr_base {
public:
    /// Empty map; entries 0 and N-1 constructed without name or parent.
    ksx_csr_large_array_wrapper() : ksx_csr_base("", nullptr), m_first("", nullptr), m_last("", nullptr) {}
    /// Releases the created entries first, then the two member entries and the base.
    ~ksx_csr_large_array_wrapper() override { m_entries.clear(); }

    /// Nothing to set up: entries are placed by set_attributes and on creation.
    void init() override {}

    /// Shows entry 0, then every created entry in index order, then entry N-1.
    void show() override {
        m_first.show();
        for (auto& e : m_entries) e.second->show();
        m_last.show();
    }

    /// Attaches the wrapper, then entry 0 at offset 0 and entry N-1 at (N-1) x entry byte size.
    void set_attributes(ksx_csr_base* parent, const std::string& name, uint64_t offset) override {
        ksx_csr_base::set_attributes(parent, name, offset);
        m_first.set_attributes(this, "", 0);
        m_last.set_attributes(this, "", uint64_t(N - 1) * uint64_t(m_last.get_byte_size()));
    }

    /// Entry idx, created (with its reset value) on first request; null with an error
    /// message when idx is outside 0..N-1.
    T* operator[](int idx) {
        if (idx == 0) return &m_first;
        if (idx == N - 1) return &m_last;
        auto it = m_entries.find(idx);
        if (it != m_entries.end()) return it->second.get();
        if (idx < 0 || idx > N - 1) {
            plog_err("Requested more than MAX_DEPTH " + std::to_string(N) + " HIER : " + get_hier_path());
            return nullptr;
        }
        auto entry = std::make_shared<T>("", nullptr);
        entry->set_attributes(this, "", uint64_t(idx) * uint64_t(entry->get_byte_size()));
        T* raw = entry.get();
        m_entries.emplace(idx, std::move(entry));
        return raw;
    }

    /// Entry count N.
    static constexpr int size() { return N; }

private:
    std::map<int, std::shared_ptr<T>> m_entries;
    T m_first;
    T m_last;
};
