// The logger: line format, level and scope filters, log file with its size limit,
// counters, the flat plog_* interface and the console printers.
#include "ip/verif/pcpp/logmsg.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <regex>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/hal/sknobs.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_files.h"

namespace {

using lines_t = std::vector<std::string>;

bool file_exists(const std::string& path) { return std::ifstream(path).good(); }

// Splits text at '\n' the same way log_capture::lines() does.
lines_t split_lines(const std::string& s) {
    lines_t out;
    std::istringstream in(s);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

// Puts the process-wide logger back into its start state around every test.
class LogMsgTest : public ::testing::Test {
protected:
    void SetUp() override { restore(); }
    void TearDown() override { restore(); }

    static void restore() {
        log_capture quiet;
        auto log = LogMsg::Instance();
        log->logToFlagSet(3);
        log->closeFlog();
        for (const char* s : {"txs", "pb", "a b", "c", "d"}) log->disableScope(s);
        log->setErrCount(0);
        log->setVerbose(LogMsg::MSG);
        sknobs_reset();
    }
};

TEST_F(LogMsgTest, ErrorLineIsStampedLevelAndMessage) {
    log_capture cap;
    plog_err("remove_if:foo not there!");
    // Exactly one newline, appended by plog_err.
    EXPECT_TRUE(log_capture::has_stamp(cap.text()));
    EXPECT_EQ(log_capture::strip_stamp(cap.text()), "ERROR :: remove_if:foo not there!\n");

    // printMsg adds nothing after the text: the caller brings the newline.
    cap.clear();
    LogMsg::Instance()->printMsg(LogMsg::ERROR, "no newline");
    LogMsg::Instance()->printMsg(LogMsg::ERROR, "two\nlines\n");
    const std::string stamp = R"(\[\d\d-\d\d-\d\d \d\d:\d\d:\d\d\] )";
    EXPECT_TRUE(std::regex_match(
        cap.text(), std::regex(stamp + "ERROR :: no newline" + stamp + "ERROR :: two\nlines\n")))
        << cap.text();

    // Level 0 passes too and has no name of its own.
    cap.clear();
    LogMsg::Instance()->printMsg(static_cast<LogMsg::msgLevelEnum>(0), "zero\n");
    EXPECT_EQ(cap.messages(), lines_t({"UNKNOWN :: zero"}));
}

TEST_F(LogMsgTest, StampIsLocalTimeInYearMonthDayOrder) {
    // A zone far from UTC (no zone database needed) catches a stamp taken in UTC.
    const char* old_tz = std::getenv("TZ");
    const std::string saved = old_tz ? old_tz : "";
    setenv("TZ", "KSX-5:30", 1);
    tzset();

    std::set<std::string> expected;
    const std::time_t before = std::time(nullptr);
    log_capture cap;
    plog_err("tick");
    for (std::time_t t = before; t <= std::time(nullptr); ++t) {
        std::tm tm{};
        localtime_r(&t, &tm);
        char buf[32];
        std::strftime(buf, sizeof buf, "[%y-%m-%d %H:%M:%S] ", &tm);
        expected.insert(buf);
    }
    const std::string stamp = cap.text().substr(0, 20);

    if (old_tz) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
    tzset();

    EXPECT_TRUE(expected.count(stamp)) << "stamp " << stamp;
}

TEST_F(LogMsgTest, OnlyErrorLevelPassesWhateverTheVerbosity) {
    auto log = LogMsg::Instance();
    plog_set_verbose(20);
    log_capture cap;
    for (auto lvl : {LogMsg::WARNING, LogMsg::P4, LogMsg::MSG, LogMsg::INFO, LogMsg::CPU, LogMsg::DEBUG}) {
        EXPECT_FALSE(log->checkMsgLevel(lvl)) << lvl;
        log->printMsg(lvl, "dropped\n");
    }
    EXPECT_EQ(cap.text(), "");
    EXPECT_TRUE(log->checkMsgLevel(static_cast<LogMsg::msgLevelEnum>(0)));
    std::string names;
    for (int lvl : {1, 2, 3, 6, 10, 20, 30, 40}) names += log->convertLevelToStr(LogMsg::msgLevelEnum(lvl)) + " ";
    EXPECT_EQ(names, "ERROR WARNING UNKNOWN P4 MSG INFO CPU DEBUG ");
}

TEST_F(LogMsgTest, ScopeMessagesNeedTheScopeEnabled) {
    auto log = LogMsg::Instance();
    log_capture cap;
    EXPECT_FALSE(log->checkMsgLevel(std::string("txs")));
    log->printMsg(std::string("txs"), "hello\n");
    EXPECT_EQ(cap.text(), "");

    log->enableScope("txs");
    log->printMsg(std::string("txs"), "hello\n");
    log->printMsg(std::string("pb"), "other\n");
    EXPECT_EQ(cap.messages(), lines_t({"txs :: hello"}));
    EXPECT_TRUE(cap.all_stamped());

    // Duplicates are kept, and one disable removes them all.
    log->enableScope("txs");
    log->disableScope("txs");
    EXPECT_FALSE(log->checkMsgLevel(std::string("txs")));

    // Disabling an absent scope changes nothing; names are matched whole.
    plog_add_scope("pb");
    plog_remove_scope("txs");
    EXPECT_TRUE(log->checkMsgLevel(std::string("pb")));
    EXPECT_FALSE(log->checkMsgLevel(std::string("p")));
    EXPECT_FALSE(log->checkMsgLevel(std::string("pbc")));
    plog_remove_scope("pb");
    EXPECT_FALSE(log->checkMsgLevel(std::string("pb")));
}

TEST_F(LogMsgTest, LogToFlagsChooseTheDestinations) {
    auto log = LogMsg::Instance();
    log_capture cap;
    plog_file_to_flag_set(0);
    EXPECT_EQ(cap.text(), "File Logging : LogMsg flags changed to 0\n");
    cap.clear();
    plog_err("nowhere");
    EXPECT_EQ(cap.text(), "");

    // File only, but no file open: nothing anywhere.
    log->logToFlagSet(2);
    cap.clear();
    plog_err("nowhere either");
    EXPECT_EQ(cap.text(), "");

    log->logToFlagSet(4294967295u);
    EXPECT_EQ(split_lines(cap.text()).back(), "File Logging : LogMsg flags changed to 4294967295");
}

TEST_F(LogMsgTest, FileLoggingWritesBothAndClosesOnStop) {
    const std::string path = temp_path("both.log");
    std::remove(path.c_str());
    log_capture cap;
    plog_start(path, 4096);
    EXPECT_EQ(cap.text(), "\n>>>>>>File logging started, filename : " + path +
                              " , file size limited to:4096 bytes\n\n");
    EXPECT_EQ(LogMsg::Instance()->logToFlagGet(), 3u);  // opening leaves the flags alone
    cap.clear();
    plog_err("first");
    LogMsg::Instance()->enableScope("txs");
    LogMsg::Instance()->printMsg(std::string("txs"), "scoped\n");
    const std::string console = cap.text();
    cap.clear();
    plog_stop();
    EXPECT_EQ(cap.text(), "\n>>>>>>Closing file : " + path + "\n\n");

    // The file holds exactly the console lines, stamps included.
    EXPECT_EQ(read_file(path), console);
    EXPECT_EQ(log_capture::strip_stamp(split_lines(console).at(1)), "txs :: scoped");

    // After the stop, lines reach the console only; a second stop does nothing.
    cap.clear();
    plog_err("after");
    plog_stop();
    EXPECT_EQ(cap.lines().size(), 1u);
    EXPECT_EQ(read_file(path), console);

    // Console off: the file alone gets the line. Starting again truncates; starting another
    // file closes the first.
    const std::string other = temp_path("other.log");
    plog_start(other, 200);
    cap.clear();
    plog_start(path, 4096);
    EXPECT_EQ(cap.text(), "\n>>>>>>Closing file : " + other + "\n\n" + "\n>>>>>>File logging started, filename : " +
                              path + " , file size limited to:4096 bytes\n\n");
    LogMsg::Instance()->logToFlagSet(2);
    cap.clear();
    plog_err("file only");
    EXPECT_EQ(cap.text(), "");
    LogMsg::Instance()->logToFlagSet(3);
    plog_stop();
    EXPECT_EQ(log_capture::strip_stamp(read_file(path)), "ERROR :: file only\n");
    std::remove(path.c_str());
    std::remove(other.c_str());
}

TEST_F(LogMsgTest, SizeLimitClosesAfterTheLineThatPassesIt) {
    const std::string path = temp_path("limit.log");
    // Every line is 20 (stamp) + 9 ("ERROR :: ") + 10 + 1 = 40 bytes.
    log_capture cap;
    plog_start(path, 80);
    cap.clear();
    plog_err("0123456789");
    plog_err("abcdefghij");  // position 80: not past the limit
    EXPECT_EQ(cap.lines().size(), 2u);
    cap.clear();
    plog_err("ABCDEFGHIJ");  // position 120: passes it
    EXPECT_EQ(log_capture::strip_stamp(cap.text()), "ERROR :: ABCDEFGHIJ\nFile Logging :  Max Size 80 bytes reached, "
                                                    "Closing file " + path + "\n\n>>>>>>Closing file : " + path + "\n\n");
    EXPECT_EQ(log_capture::strip_stamp(read_file(path).substr(80)), "ERROR :: ABCDEFGHIJ\n");

    cap.clear();
    plog_err("console only");
    EXPECT_EQ(cap.lines().size(), 1u);
    EXPECT_EQ(read_file(path).size(), 120u);
    std::remove(path.c_str());
}

TEST_F(LogMsgTest, DisabledFileLoggingRefusesStartAndStop) {
    const std::string path = temp_path("disabled.log");
    std::remove(path.c_str());
    auto log = LogMsg::Instance();
    log_capture cap;
    log->logToFlagSet(7);
    cap.clear();
    plog_start(path, 1000);
    EXPECT_EQ(cap.text(), "File logging is disabled, ignoring startFlog\n");
    EXPECT_FALSE(file_exists(path));
    cap.clear();
    plog_stop();
    EXPECT_EQ(cap.text(), "LogMsg::stopFlog : File logging is disabled, ignoring stopFlog\n");

    // A file opened before the switch stays open: stop is refused, lines still go in.
    log->logToFlagSet(3);
    plog_start(path, 1000);
    log->logToFlagSet(7);
    cap.clear();
    plog_stop();
    plog_err("still logged");
    EXPECT_EQ(cap.lines().at(0), "LogMsg::stopFlog : File logging is disabled, ignoring stopFlog");
    EXPECT_EQ(log_capture::strip_stamp(read_file(path)), "ERROR :: still logged\n");
    // closeFlog is not subject to the switch.
    cap.clear();
    log->closeFlog();
    EXPECT_EQ(cap.text(), "\n>>>>>>Closing file : " + path + "\n\n");
    std::remove(path.c_str());
}

TEST_F(LogMsgTest, UnopenableFileLosesItsLinesQuietly) {
    const std::string path = "/nonexistent-dir-ksx/x.log";
    log_capture cap;
    plog_start(path, 1000);
    EXPECT_EQ(cap.text(), "\n>>>>>>File logging started, filename : " + path +
                              " , file size limited to:1000 bytes\n\n");
    cap.clear();
    plog_err("console still works");
    EXPECT_EQ(cap.messages(), lines_t({"ERROR :: console still works"}));
    cap.clear();  // a stream that never opened is not "closed" again
    plog_stop();
    EXPECT_EQ(cap.text(), "");
}

TEST_F(LogMsgTest, CountersAreForCallersOnly) {
    LogMsg::Instance()->setErrCount(5);
    plog_set_max_err_count(2);
    {
        log_capture cap;
        for (const char* m : {"one", "two", "three"}) plog_err(m);
        EXPECT_EQ(cap.messages().size(), 3u);  // reaching the maximum stops nothing
    }
    EXPECT_EQ(plog_get_err_count(), 5u);  // printing counts nothing
    plog_clr_err_count();
    EXPECT_EQ(plog_get_err_count(), 0u);
}

TEST_F(LogMsgTest, PlogMsgAndConsolePrinters) {
    log_capture cap;
    plog_msg("never shown\n");
    EXPECT_EQ(cap.text(), "");
    cp_print_msg("cp ");
    he_print_msg("he\n");
    is_print_msg("is");
    txs_print_msg(" txs");
    pb_print_msg("");
    top_print_msg("[top] 100%d\n");
    EXPECT_EQ(cap.text(), "cp he\nis txs[top] 100%d\n");
}

TEST_F(LogMsgTest, ConstructionReadsItsKnobs) {
    log_capture quiet;
    const std::pair<const char*, LogMsg::msgLevelEnum> levels[] = {
        {"err", LogMsg::ERROR}, {"warn", LogMsg::WARNING}, {"info", LogMsg::INFO},
        {"cpu", LogMsg::CPU},   {"debug", LogMsg::DEBUG},  {"p4", LogMsg::P4},
        {"msg", LogMsg::MSG},   {"DEBUG", LogMsg::MSG},    {"", LogMsg::MSG}};
    for (const auto& [text, level] : levels) {
        sknobs_set_string("plog", text);
        LogMsg fresh;
        EXPECT_EQ(fresh.getVerbose(), level) << "plog=" << text;
    }
    sknobs_reset();

    // The scope knobs name one scope each, spaces and all; removal runs after adding.
    sknobs_set_string("plogAddScope", "a b");
    sknobs_set_string("plog_add_scope", "c");
    {
        LogMsg fresh;
        EXPECT_TRUE(fresh.checkMsgLevel(std::string("a b")));
        EXPECT_FALSE(fresh.checkMsgLevel(std::string("a")));
        EXPECT_TRUE(fresh.checkMsgLevel(std::string("c")));
    }
    sknobs_set_string("plogRmScope", "a b");
    sknobs_set_string("plog_rm_scope", "c");
    {
        LogMsg fresh;
        EXPECT_FALSE(fresh.checkMsgLevel(std::string("a b")));
        EXPECT_FALSE(fresh.checkMsgLevel(std::string("c")));
    }
}

TEST(LogMsgDeathTest, ExitSimEndsWithStatusZero) {
    EXPECT_EXIT(LogMsg::exitSim(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
