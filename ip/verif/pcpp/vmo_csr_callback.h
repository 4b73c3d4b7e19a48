// Chip-independent base of the model's access callbacks.
#pragma once

#include <cstdint>
#include <string>

#include <boost/multiprecision/cpp_int.hpp>

class vmo_csr_base;

/// Hooks around zero-time (back-door) accesses of registers and memories; every hook
/// does nothing unless a derived callback overrides it.
class vmo_csr_callback {
public:
    virtual ~vmo_csr_callback();
    /// Before a zero-time write of node (path, value, flags may be adjusted).
    virtual void pre_csr_mem_zerotime_hdl_write(vmo_csr_base* node, std::string& path,
                                                boost::multiprecision::cpp_int& value, uint32_t& flags);
    /// After a zero-time write of node.
    virtual void post_csr_mem_zerotime_hdl_write(vmo_csr_base* node, std::string& path,
                                                 boost::multiprecision::cpp_int& value, uint32_t& flags);
    /// Before a zero-time read of node.
    virtual void pre_csr_mem_zerotime_hdl_read(vmo_csr_base* node, std::string& path,
                                               boost::multiprecision::cpp_int& value, uint32_t& flags);
    /// After a zero-time read of node.
    virtual void post_csr_mem_zerotime_hdl_read(vmo_csr_base* node, std::string& path,
                                                boost::multiprecision::cpp_int& value, uint32_t& flags);
};
