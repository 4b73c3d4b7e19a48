// Process-wide logger: time-stamped lines on the console and in an optional
// size-limited log file, filtered by level and scope, with an error counter.
#include "ip/verif/pcpp/logmsg.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <sstream>

#include "platform/hal/sknobs.h"

namespace {

// Bits of the log-to flags.
constexpr uint32_t kLogToStdout = 1u << 0;
constexpr uint32_t kLogToFile = 1u << 1;
constexpr uint32_t kFileLoggingDisabled = 1u << 2;

const char* const kNoFileName = "_undefined_";

// Verbosity chosen by the text of the "plog" knob; unknown texts mean MSG.
LogMsg::msgLevelEnum level_from_knob_text(const std::string& text) {
    if (text == "err") return LogMsg::ERROR;
    if (text == "warn") return LogMsg::WARNING;
    if (text == "info") return LogMsg::INFO;
    if (text == "cpu") return LogMsg::CPU;
    if (text == "debug") return LogMsg::DEBUG;
    if (text == "p4") return LogMsg::P4;
    return LogMsg::MSG;
}

// Text of a string knob, or the empty string when the database has none.
std::string knob_string(const char* key) {
    const char* s = sknobs_get_string(key, "");
    return s ? std::string(s) : std::string();
}

// "[yy-mm-dd HH:MM:SS] " for the current local time.
std::string time_stamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::size_t n = std::strftime(buf, sizeof buf, "%y-%m-%d %OH:%OM:%OS", &local);
    std::string out = "[";
    out.append(buf, n);
    out += "] ";
    return out;
}

}  // namespace

LogMsg::LogMsg() {
    if (sknobs_exists("plog")) {
        verbose_ = level_from_knob_text(knob_string("plog"));
    }
    max_err_count_ = static_cast<uint32_t>(sknobs_get_value("PLOG_MAX_QUIT_COUNT", 10));
    if (sknobs_exists("plogAddScope")) enableScope(knob_string("plogAddScope"));
    if (sknobs_exists("plog_add_scope")) enableScope(knob_string("plog_add_scope"));
    if (sknobs_exists("plogRmScope")) disableScope(knob_string("plogRmScope"));
    if (sknobs_exists("plog_rm_scope")) disableScope(knob_string("plog_rm_scope"));
}

LogMsg::~LogMsg() {
    if (log_file_ && log_file_->is_open()) log_file_->close();
}

std::shared_ptr<LogMsg> LogMsg::Instance() {
    static std::shared_ptr<LogMsg> instance = std::make_shared<LogMsg>();
    return instance;
}

void LogMsg::enableScope(const std::string& scope) { scopes_.push_back(scope); }

void LogMsg::setVerbose(msgLevelEnum level) { verbose_ = level; }

LogMsg::msgLevelEnum LogMsg::getVerbose() { return verbose_; }

void LogMsg::disableScope(const std::string& scope) {
    scopes_.erase(std::remove(scopes_.begin(), scopes_.end(), scope), scopes_.end());
}

void LogMsg::printMsg(msgLevelEnum level, const std::string& msg) {
    if (checkMsgLevel(level)) logNow(convertLevelToStr(level) + " :: " + msg);
}

void LogMsg::printMsg(const std::string& scope, const std::string& msg) {
    if (checkMsgLevel(scope)) logNow(scope + " :: " + msg);
}

// Only errors pass, whatever the verbosity: the verbosity is kept for callers but gates nothing.
bool LogMsg::checkMsgLevel(msgLevelEnum level) { return level <= ERROR; }

bool LogMsg::checkMsgLevel(const std::string& scope) {
    return std::find(scopes_.begin(), scopes_.end(), scope) != scopes_.end();
}

std::string LogMsg::convertLevelToStr(msgLevelEnum level) {
    switch (level) {
        case ERROR: return "ERROR";
        case WARNING: return "WARNING";
        case P4: return "P4";
        case MSG: return "MSG";
        case INFO: return "INFO";
        case CPU: return "CPU";
        case DEBUG: return "DEBUG";
    }
    return "UNKNOWN";
}

void LogMsg::closeFlog() {
    if (!log_file_ || !log_file_->is_open()) return;
    std::cout << "\n>>>>>>Closing file : " << log_file_name_ << "\n\n";
    log_file_->close();
    log_file_.reset();
    log_file_name_ = kNoFileName;
}

void LogMsg::startFlog(const std::string& name, uint32_t limit) {
    if (log_to_flags_ & kFileLoggingDisabled) {
        std::cout << "File logging is disabled, ignoring startFlog\n";
        return;
    }
    closeFlog();
    // A file that cannot be opened leaves a closed stream: its lines are dropped, the
    // console goes on.
    log_file_ = std::make_unique<std::ofstream>(name, std::ios::out | std::ios::trunc);
    log_file_name_ = name;
    file_size_limit_ = limit;
    std::cout << "\n>>>>>>File logging started, filename : " << name
              << " , file size limited to:" << limit << " bytes\n\n";
}

void LogMsg::stopFlog() {
    if (log_to_flags_ & kFileLoggingDisabled) {
        std::cout << "LogMsg::stopFlog : File logging is disabled, ignoring stopFlog\n";
        return;
    }
    if (log_file_) closeFlog();
}

void LogMsg::logToFlagSet(uint32_t flags) {
    log_to_flags_ = flags;
    std::cout << "File Logging : LogMsg flags changed to " << flags << "\n";
}

uint32_t LogMsg::logToFlagGet() { return log_to_flags_; }

uint32_t LogMsg::getErrCount() { return err_count_; }

void LogMsg::setErrCount(uint32_t count) { err_count_ = count; }

void LogMsg::setMaxErrCount(uint32_t count) { max_err_count_ = count; }

void LogMsg::logNow(const std::string& text) {
    const std::string line = time_stamp() + text;
    if (log_to_flags_ & kLogToStdout) std::cout << line;
    if ((log_to_flags_ & kLogToFile) && log_file_ && log_file_->is_open()) {
        // Flushed line by line so that the file is complete if the process dies.
        *log_file_ << line << std::flush;
        const std::streamoff pos = log_file_->tellp();
        if (pos > static_cast<std::streamoff>(file_size_limit_)) {
            std::cout << "File Logging :  Max Size " << file_size_limit_
                      << " bytes reached, Closing file " << log_file_name_ << "\n";
            stopFlog();
        }
    }
}

void LogMsg::exitSim() { std::exit(0); }

// ---- flat interface ---------------------------------------------------------------------

void plog_msg(const std::string&) {}

void plog_err(const std::string& text) {
    auto log = LogMsg::Instance();
    if (log->checkMsgLevel(LogMsg::ERROR)) {
        std::ostringstream os;
        os << text << "\n";
        log->printMsg(LogMsg::ERROR, os.str());
    }
}

uint32_t plog_get_err_count() { return LogMsg::Instance()->getErrCount(); }

void plog_clr_err_count() { LogMsg::Instance()->setErrCount(0); }

void plog_set_max_err_count(uint32_t count) { LogMsg::Instance()->setMaxErrCount(count); }

void plog_start(const std::string& file_name, uint32_t limit) {
    LogMsg::Instance()->startFlog(file_name, limit);
}

void plog_stop() { LogMsg::Instance()->stopFlog(); }

void plog_file_to_flag_set(uint32_t flags) { LogMsg::Instance()->logToFlagSet(flags); }

void plog_set_verbose(uint32_t level) {
    LogMsg::Instance()->setVerbose(static_cast<LogMsg::msgLevelEnum>(level));
}

void plog_add_scope(const std::string& scope) { LogMsg::Instance()->enableScope(scope); }

void plog_remove_scope(const std::string& scope) { LogMsg::Instance()->disableScope(scope); }

// ---- console printers of the block routines -----------------------------------------------

void cp_print_msg(const std::string& text) { std::cout << text; }
void he_print_msg(const std::string& text) { std::cout << text; }
void is_print_msg(const std::string& text) { std::cout << text; }
void txs_print_msg(const std::string& text) { std::cout << text; }
void pb_print_msg(const std::string& text) { std::cout << text; }
void top_print_msg(const std::string& text) { std::cout << text; }
