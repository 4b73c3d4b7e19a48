// Process-wide logger: time-stamped lines on the console and in an optional
// size-limited log file, filtered by level and scope, with an error counter.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

/// The process-wide logger, reached through LogMsg::Instance().
class LogMsg {
public:
    /// Message levels; only ERROR (and 0) pass checkMsgLevel.
    enum msgLevelEnum { ERROR = 1, WARNING = 2, P4 = 6, MSG = 10, INFO = 20, CPU = 30, DEBUG = 40 };

    LogMsg();
    virtual ~LogMsg();
    virtual void enableScope(const std::string& scope);
    virtual void setVerbose(msgLevelEnum level);
    virtual msgLevelEnum getVerbose();
    virtual void disableScope(const std::string& scope);
    virtual void printMsg(msgLevelEnum level, const std::string& msg);
    virtual void printMsg(const std::string& scope, const std::string& msg);
    virtual bool checkMsgLevel(msgLevelEnum level);
    virtual bool checkMsgLevel(const std::string& scope);
    virtual std::string convertLevelToStr(msgLevelEnum level);
    virtual void closeFlog();
    virtual void startFlog(const std::string& name, uint32_t limit);
    virtual void stopFlog();
    virtual void logToFlagSet(uint32_t flags);
    virtual uint32_t logToFlagGet();
    virtual uint32_t getErrCount();
    virtual void setErrCount(uint32_t count);
    virtual void setMaxErrCount(uint32_t count);

    /// The one logger, created on first use.
    static std::shared_ptr<LogMsg> Instance();
    /// Writes one time-stamped line to the enabled destinations.
    void logNow(const std::string& text);
    /// Ends the process with exit status 0.
    static void exitSim();

private:
    uint32_t file_size_limit_ = 0x1000000;
    uint32_t log_to_flags_ = 3;
    std::unique_ptr<std::ofstream> log_file_;
    std::string log_file_name_ = "_undefined_";
    uint32_t err_count_ = 0;
    uint32_t max_err_count_ = 10;
    std::vector<std::string> scopes_;
    msgLevelEnum verbose_ = MSG;
};

/// Flat logger interface for hosts.
void plog_msg(const std::string& text);
/// Reports text (a newline is appended) at ERROR level: the standard error report of the library.
void plog_err(const std::string& text);
uint32_t plog_get_err_count();
void plog_clr_err_count();
void plog_set_max_err_count(uint32_t count);
void plog_start(const std::string& file_name, uint32_t limit);
void plog_stop();
void plog_file_to_flag_set(uint32_t flags);
void plog_set_verbose(uint32_t level);
void plog_add_scope(const std::string& scope);
void plog_remove_scope(const std::string& scope);

/// One-line console printers of the block routines: the text goes to standard output unchanged.
void cp_print_msg(const std::string& text);
void he_print_msg(const std::string& text);
void is_print_msg(const std::string& text);
void txs_print_msg(const std::string& text);
void pb_print_msg(const std::string& text);
void top_print_msg(const std::string& text);
