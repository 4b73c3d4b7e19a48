// The logger: line format, level and scope filters, log file with its size limit,
// counters, the flat plog_* interface and the console printers.
#include "ip/verif/pcpp/logmsg.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <regex>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/hal/sknobs.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_files.h"

namespace {

using lines_t = std::vector<std::string>;

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

TEST_F(LogMsgTest, LineFormatAndLevels) {
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

    // Only the error level passes, whatever the verbosity.
    auto log = LogMsg::Instance();
    plog_set_verbose(20);
    cap.clear();
    for (auto lvl : {LogMsg::WARNING, LogMsg::P4, LogMsg::MSG, LogMsg::INFO, LogMsg::CPU, LogMsg::DEBUG}) {
        EXPECT_FALSE(log->checkMsgLevel(lvl)) << lvl;
        log->printMsg(lvl, "dropped\n");
    }
    EXPECT_EQ(cap.text(), "");
    std::string names;
    for (int lvl : {1, 2, 3, 6, 10, 20, 30, 40}) names += log->convertLevelToStr(LogMsg::msgLevelEnum(lvl)) + " ";
    EXPECT_EQ(names, "ERROR WARNING UNKNOWN P4 MSG INFO CPU DEBUG ");
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

TEST_F(LogMsgTest, FileLoggingFlagsLimitAndFailures) {
    auto log = LogMsg::Instance();
    const std::string path = temp_path("both.log"), other = temp_path("other.log");
    std::remove(path.c_str());
    const std::string started = "\n>>>>>>File logging started, filename : " + path + " , file size limited to:";
    const std::string closing = "\n>>>>>>Closing file : " + path + "\n\n";
    log_capture cap;
    plog_start(path, 4096);
    EXPECT_EQ(cap.text(), started + "4096 bytes\n\n");
    EXPECT_EQ(log->logToFlagGet(), 3u);  // opening leaves the flags alone
    cap.clear();
    plog_err("first");
    log->enableScope("txs");
    log->printMsg(std::string("txs"), "scoped\n");
    const std::string console = cap.text();
    cap.clear();
    plog_stop();
    EXPECT_EQ(cap.text(), closing);
    // The file holds exactly the console lines, stamps included.
    EXPECT_EQ(read_file(path), console);
    EXPECT_EQ(cap.strip_stamp(console.substr(console.find('\n') + 1)), "txs :: scoped\n");

    // After the stop, lines reach the console only; a second stop does nothing.
    cap.clear();
    plog_err("after");
    plog_stop();
    EXPECT_EQ(cap.lines().size(), 1u);
    EXPECT_EQ(read_file(path), console);

    // Starting another file closes the first; starting again truncates.
    plog_start(other, 200);
    cap.clear();
    plog_start(path, 80);
    EXPECT_EQ(cap.text(), "\n>>>>>>Closing file : " + other + "\n\n" + started + "80 bytes\n\n");

    // Flags: 0 logs nowhere, 2 to the file alone.
    cap.clear();
    plog_file_to_flag_set(0);
    EXPECT_EQ(cap.text(), "File Logging : LogMsg flags changed to 0\n");
    cap.clear();
    plog_err("nowhere");
    EXPECT_EQ(cap.text(), "");
    log->logToFlagSet(2);
    cap.clear();
    plog_err("0123456789");
    EXPECT_EQ(cap.text(), "");
    log->logToFlagSet(3);
    // Every line is 20 (stamp) + 9 ("ERROR :: ") + 10 + 1 = 40 bytes: the file closes after
    // the line that passes the limit, not the one that reaches it.
    cap.clear();
    plog_err("abcdefghij");
    EXPECT_EQ(cap.lines().size(), 1u);
    cap.clear();
    plog_err("ABCDEFGHIJ");
    EXPECT_EQ(cap.strip_stamp(cap.text()),
              "ERROR :: ABCDEFGHIJ\nFile Logging :  Max Size 80 bytes reached, Closing file " + path + "\n" + closing);
    EXPECT_EQ(cap.strip_stamp(read_file(path).substr(0, 40)), "ERROR :: 0123456789\n");
    EXPECT_EQ(cap.strip_stamp(read_file(path).substr(80)), "ERROR :: ABCDEFGHIJ\n");
    cap.clear();
    plog_err("console only");
    EXPECT_EQ(read_file(path).size(), 120u);

    // Flag 4 disables file logging: start and stop are refused, but a file opened before stays
    // open and closeFlog is not subject to the switch.
    std::remove(path.c_str());
    log->logToFlagSet(4294967295u);
    EXPECT_EQ(cap.lines().back(), "File Logging : LogMsg flags changed to 4294967295");
    log->logToFlagSet(7);
    cap.clear();
    plog_start(path, 1000);
    EXPECT_EQ(cap.text(), "File logging is disabled, ignoring startFlog\n");
    EXPECT_FALSE(std::ifstream(path).good());
    log->logToFlagSet(3);
    plog_start(path, 1000);
    log->logToFlagSet(7);
    cap.clear();
    plog_stop();
    plog_err("still logged");
    EXPECT_EQ(cap.lines().at(0), "LogMsg::stopFlog : File logging is disabled, ignoring stopFlog");
    EXPECT_EQ(cap.strip_stamp(read_file(path)), "ERROR :: still logged\n");
    cap.clear();
    log->closeFlog();
    EXPECT_EQ(cap.text(), closing);
    std::remove(path.c_str());
    std::remove(other.c_str());

    // A file that cannot be opened loses its lines quietly; stopping it prints nothing.
    log->logToFlagSet(3);
    cap.clear();
    plog_start("/nonexistent-dir-ksx/x.log", 1000);
    EXPECT_EQ(cap.text(), "\n>>>>>>File logging started, filename : /nonexistent-dir-ksx/x.log , file size limited "
                          "to:1000 bytes\n\n");
    cap.clear();
    plog_err("console still works");
    plog_stop();
    EXPECT_EQ(cap.messages(), lines_t({"ERROR :: console still works"}));
    EXPECT_EQ(cap.lines().size(), 1u);
}

TEST_F(LogMsgTest, CountersPlogMsgAndConsolePrinters) {
    LogMsg::Instance()->setErrCount(5);
    plog_set_max_err_count(2);
    log_capture cap;
    for (const char* m : {"one", "two", "three"}) plog_err(m);
    EXPECT_EQ(cap.messages().size(), 3u);  // reaching the maximum stops nothing
    EXPECT_EQ(plog_get_err_count(), 5u);   // printing counts nothing
    plog_clr_err_count();
    EXPECT_EQ(plog_get_err_count(), 0u);

    cap.clear();
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
