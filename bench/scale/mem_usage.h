// Memory figures of the running process for the benchmarks: resident set now and at its
// peak, and the heap bytes the program holds (what its objects occupy, allocator headers
// included).
#pragma once

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

/// Resident set size now, in bytes (0 when /proc is unavailable).
inline uint64_t ksx_bench_rss_bytes() {
    unsigned long pages_total = 0, pages_resident = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr) return 0;
    const int n = std::fscanf(f, "%lu %lu", &pages_total, &pages_resident);
    std::fclose(f);
    return n == 2 ? uint64_t(pages_resident) * uint64_t(sysconf(_SC_PAGESIZE)) : 0;
}

/// Peak resident set size of the process so far, in bytes.
inline uint64_t ksx_bench_peak_rss_bytes() {
    struct rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    return uint64_t(ru.ru_maxrss) * 1024;
}

/// Resets the peak resident set size to the current one (Linux: VmHWM); false if refused.
inline bool ksx_bench_reset_peak_rss() {
    FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (f == nullptr) return false;
    const bool ok = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

/// Peak resident set size since the last reset (VmHWM), in bytes; 0 when unavailable.
inline uint64_t ksx_bench_hwm_bytes() {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) return 0;
    char line[256];
    unsigned long kib = 0;
    while (std::fgets(line, sizeof line, f) != nullptr)
        if (std::sscanf(line, "VmHWM: %lu kB", &kib) == 1) break;
    std::fclose(f);
    return uint64_t(kib) * 1024;
}

/// Anonymous resident memory now (heap, stacks; not the pages of the program's code), in bytes.
inline uint64_t ksx_bench_rss_anon_bytes() {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) return 0;
    char line[256];
    unsigned long kib = 0;
    while (std::fgets(line, sizeof line, f) != nullptr)
        if (std::sscanf(line, "RssAnon: %lu kB", &kib) == 1) break;
    std::fclose(f);
    return uint64_t(kib) * 1024;
}

/// Heap bytes in use (allocated and not yet freed).
inline uint64_t ksx_bench_heap_bytes() {
    const struct mallinfo2 mi = mallinfo2();
    return uint64_t(mi.uordblks) + uint64_t(mi.hblkhd);
}
