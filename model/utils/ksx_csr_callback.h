// Chip-specific access callbacks: the back-door hooks of interrupt and data-handling registers.
#pragma once

#include <cstdint>
#include <string>

#include <boost/multiprecision/cpp_int.hpp>

#include "ip/verif/pcpp/vmo_csr_callback.h"

/// Chip-specific base of the access callbacks.
class ksx_csr_callback : public vmo_csr_callback {
public:
    ~ksx_csr_callback() override;
};

/// Back-door callback of data-handling (dhs_) registers; its hooks do nothing.
class ksx_dhs_backdoor_callback : public ksx_csr_callback {
public:
    ksx_dhs_backdoor_callback();
    ~ksx_dhs_backdoor_callback() override;
    void pre_csr_mem_zerotime_hdl_write(vmo_csr_base* node, std::string& path,
                                        boost::multiprecision::cpp_int& value, uint32_t& flags) override;
    void post_csr_mem_zerotime_hdl_write(vmo_csr_base* node, std::string& path,
                                         boost::multiprecision::cpp_int& value, uint32_t& flags) override;
    void pre_csr_mem_zerotime_hdl_read(vmo_csr_base* node, std::string& path,
                                       boost::multiprecision::cpp_int& value, uint32_t& flags) override;
    void post_csr_mem_zerotime_hdl_read(vmo_csr_base* node, std::string& path,
                                        boost::multiprecision::cpp_int& value, uint32_t& flags) override;

    /// Base address of the back-door window the callback serves; 0 until a user sets it.
    uint64_t backdoor_base;
};

/// Back-door callback of interrupt registers; its hooks do nothing.
class ksx_int_backdoor_callback : public ksx_csr_callback {
public:
    ~ksx_int_backdoor_callback() override;
    void pre_csr_mem_zerotime_hdl_write(vmo_csr_base* node, std::string& path,
                                        boost::multiprecision::cpp_int& value, uint32_t& flags) override;
    void post_csr_mem_zerotime_hdl_write(vmo_csr_base* node, std::string& path,
                                         boost::multiprecision::cpp_int& value, uint32_t& flags) override;
    void pre_csr_mem_zerotime_hdl_read(vmo_csr_base* node, std::string& path,
                                       boost::multiprecision::cpp_int& value, uint32_t& flags) override;
    void post_csr_mem_zerotime_hdl_read(vmo_csr_base* node, std::string& path,
                                        boost::multiprecision::cpp_int& value, uint32_t& flags) override;
    /// Builds the back-door signal path of an interrupt register's field:
    /// instance path + "." + "csr_internal_field_" + register path with "." turned into "_"
    /// + "_" + field. Sets flags bit 0 for the test-set register, bit 1 for the enable
    /// set/clear registers, bit 2 for the pending (intreg) register.
    virtual void create_backdoor_path(vmo_csr_base* node, std::string& field, std::string& path,
                                      uint32_t& flags);
};
