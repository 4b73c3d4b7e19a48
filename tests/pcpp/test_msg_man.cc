// The message manager: level windows per stream and scope, prefixes, scope names,
// file streams, the level knobs and the byte dumps.
#include "ip/verif/pcpp/msg_man.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iomanip>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/hal/sknobs.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_files.h"

namespace {

// A stream into a string, so a test sees exactly what one stream received.
class string_stream : public msg_stream {
public:
    explicit string_stream(const std::string& name) : msg_stream(name) { open_ = true; }
    std::ostream* out() override { return open_ ? &buf : nullptr; }
    std::string take() {
        std::string s = buf.str();
        buf.str("");
        return s;
    }
    std::ostringstream buf;
};

// Writes one line at level in scope, the usual way.
void say(msg_man::msg_level_t level, const std::string& scope, const std::string& text) {
    msg_man::instance().change_scope(scope).change_level(level).control_me(msg_man::BEGIN_MSG)
        << text << std::endl;
}

// Puts the manager back to its initial state: only "cout", window 1..10, defaults current.
class MsgManTest : public ::testing::Test {
public:
    void SetUp() override { restore(); }
    void TearDown() override { restore(); }

    static msg_stream* cout_stream() { return msg_man::instance().get_stream("cout"); }

    static string_stream* add_string_stream(const std::string& name) {
        auto s = std::make_unique<string_stream>(name);
        auto* raw = s.get();
        msg_man::instance().add_stream(std::move(s));
        return raw;
    }

    static void restore() {
        sknobs_reset();
        msg_man& m = msg_man::instance();
        const std::vector<msg_stream*> open = m.streams();
        for (msg_stream* s : open) {
            if (s->name() != "cout") m.close(s);
        }
        msg_stream* c = m.get_stream("cout");
        c->clear_levels();
        m.set_level(c, "/", msg_man::MSG);
        m.set_high_level(c, "/", msg_man::ERROR);
        m.set_default(msg_man::MSG, "/");
        m.control_me(msg_man::RESET);
    }
};

TEST_F(MsgManTest, DefaultWindowPassesErrorsToMessages) {
    msg_man& m = msg_man::instance();
    EXPECT_EQ(m.streams(), std::vector<msg_stream*>({cout_stream()}));

    log_capture cap;
    say(msg_man::INFO, "/", "info");
    say(msg_man::WARNING, "/", "warning");
    say(msg_man::DEBUG, "/", "debug");
    say(msg_man::ERROR, "/", "error");
    say(msg_man::MSG, "/ksx0", "msg");
    say(msg_man::CPU, "/", "cpu");
    EXPECT_EQ(cap.text(), "[WARNING][/] warning\n[ERROR][/] error\n[MSG][/ksx0] msg\n");

    // The high limit cuts the most severe levels.
    m.set_high_level(cout_stream(), "/", msg_man::WARNING);
    cap.clear();
    say(msg_man::ERROR, "/", "error");
    say(msg_man::WARNING, "/", "warning");
    EXPECT_EQ(cap.text(), "[WARNING][/] warning\n");

    // Values streamed without a begun message carry no prefix; levels outside 1..40 too.
    cap.clear();
    m.change_level(static_cast<msg_man::msg_level_t>(7)).control_me(msg_man::BEGIN_MSG)
        << 42 << ' ' << -1 << std::endl;
    EXPECT_EQ(cap.text(), "[UNKNOWN][/] 42 -1\n");
    EXPECT_EQ(msg_man::display_level(6), "UNKNOWN");
    EXPECT_EQ(msg_man::itos(INT64_MIN), "-9223372036854775808");
}

TEST_F(MsgManTest, LevelsOfAScopeHoldForItsSubScopes) {
    msg_man& m = msg_man::instance();
    msg_stream* c = cout_stream();
    m.set_level(c, "/ksx0", msg_man::DEBUG);
    m.set_level(c, "/ksx0/txs", msg_man::WARNING);
    m.set_high_level(c, "/ksx1", msg_man::INFO);
    EXPECT_EQ(c->default_level(), msg_stream::MSG);  // only "/" changes the default

    log_capture cap;
    say(msg_man::DEBUG, "/ksx0", "a");
    say(msg_man::DEBUG, "/ksx0/pb/q", "b");
    say(msg_man::INFO, "/ksx0/txs", "c");      // the sub-scope's own window is narrower
    say(msg_man::WARNING, "/ksx0/txs/x", "d");
    say(msg_man::DEBUG, "/ksx1", "e");         // window INFO..MSG is empty
    say(msg_man::INFO, "/ksx1/y", "f");
    say(msg_man::MSG, "/ksx1", "g");
    say(msg_man::DEBUG, "/", "h");
    say(msg_man::DEBUG, "/ksx", "i");          // a name prefix is not a parent
    EXPECT_EQ(cap.text(),
              "[DEBUG][/ksx0] a\n[DEBUG][/ksx0/pb/q] b\n[WARNING][/ksx0/txs/x] d\n");

    // The tree: parents are made on the way, names are full paths, streams are attached
    // where they have a level of their own.
    msg_scope* q = m.get_scope("/ksx0/pb/q");
    EXPECT_EQ(q->parent()->full_name(), "/ksx0/pb");
    EXPECT_FALSE(m.get_scope("/ksx0")->is_within(q));
    EXPECT_TRUE(m.get_scope("/ksx0/pb")->streams().empty());
    EXPECT_EQ(m.get_scope("/ksx0")->children().count("txs"), 1u);
    EXPECT_EQ(c->low_level(m.get_scope("/ksx0/txs/deep")), msg_stream::WARNING);
    EXPECT_EQ(c->high_level(m.get_scope("/ksx1/y")), msg_stream::INFO);
}

TEST_F(MsgManTest, EachStreamHasItsOwnWindowAndPrefix) {
    msg_man& m = msg_man::instance();
    string_stream* s = add_string_stream("mine");
    m.set_level(s, "/", msg_man::DEBUG);
    s->show_level(true);
    s->show_name(true);
    s->show_scope(true);

    log_capture cap;
    say(msg_man::INFO, "/ksx0", "only mine");
    say(msg_man::WARNING, "/ksx0", "both");
    EXPECT_EQ(s->take(), "[INFO][mine][/ksx0] only mine\n[WARNING][mine][/ksx0] both\n");
    EXPECT_EQ(cap.text(), "[WARNING][/ksx0] both\n");

    // All switches off: only the blank.
    s->show_level(false);
    s->show_name(false);
    s->show_scope(false);
    say(msg_man::INFO, "/", "bare");
    EXPECT_EQ(s->take(), " bare\n");

    // The prefix is written once per begun message, again after a value.
    s->show_level(true);
    m.change_level(msg_man::INFO).control_me(msg_man::BEGIN_MSG).control_me(msg_man::BEGIN_MSG);
    m << "x";
    m.control_me(msg_man::BEGIN_MSG) << "y" << std::endl;
    EXPECT_EQ(s->take(), "[INFO] x[INFO] y\n");

    // A closed stream takes nothing; writing to it does nothing.
    m.close(s);
    EXPECT_FALSE(s->is_open());
    say(msg_man::ERROR, "/", "after close");
    EXPECT_EQ(s->take(), "");
    EXPECT_EQ(m.get_stream("mine"), s);

    // The time prefix is local time without leading zeros.
    s = add_string_stream("clock");
    m.set_level(s, "/", msg_man::MSG);
    s->show_time(true);
    std::set<std::string> expected;
    const std::time_t before = std::time(nullptr);
    say(msg_man::ERROR, "/", "t");
    for (std::time_t t = before; t <= std::time(nullptr); ++t) {
        std::tm tm{};
        localtime_r(&t, &tm);
        char buf[64];
        std::snprintf(buf, sizeof buf, "[%d/%d/%d-%d:%d:%d] t\n", tm.tm_mon + 1, tm.tm_mday,
                      tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
        expected.insert(buf);
    }
    const std::string got = s->take();
    EXPECT_TRUE(expected.count(got)) << got;
}

TEST_F(MsgManTest, LevelChangeMidMessageFormatsAndDefaults) {
    msg_man& m = msg_man::instance();
    string_stream* s = add_string_stream("s");
    m.set_level(s, "/", msg_man::MSG);
    log_capture cap;
    m.change_scope("/").change_level(msg_man::WARNING).control_me(msg_man::BEGIN_MSG) << "a";
    m.change_level(msg_man::INFO) << "b";
    m.change_level(msg_man::ERROR) << "c" << std::endl;
    EXPECT_EQ(cap.text(), "[WARNING][/] ac\n");
    EXPECT_EQ(s->take(), " ac\n");

    // The number format is saved and restored per stream.
    cap.clear();
    m.change_level(msg_man::ERROR).control_me(msg_man::SAVE_FORMAT);
    m << std::hex << 255 << " " << std::setw(6) << std::setfill('.') << 10;
    m.control_me(msg_man::RESTORE_FORMAT) << " " << 255 << std::endl;
    EXPECT_EQ(cap.text(), "ff .....a 255\n");
    EXPECT_EQ(std::cout.flags() & std::ios::basefield, std::ios::dec);

    // Defaults become current on reset.
    m.set_default(msg_man::WARNING, "/ksx0/txs");
    m.change_level(msg_man::DEBUG).change_scope("/other");
    m.control_me(msg_man::RESET);
    EXPECT_EQ(m.current_level(), msg_man::WARNING);
    EXPECT_EQ(m.current_scope()->full_name(), "/ksx0/txs");
    m.set_default(msg_man::INFO, "/");
    m.reset();
    EXPECT_EQ(m.current_level(), msg_man::INFO);
    EXPECT_EQ(m.current_scope(), m.get_scope("/"));
}

TEST_F(MsgManTest, FileStreamsAndTheScopesTheyTakePartIn) {
    msg_man& m = msg_man::instance();
    const std::string path = temp_path("msg_man.log");
    msg_stream_file* f = nullptr;
    ASSERT_TRUE(m.open(f, path, "trace"));
    f->show_time(false);
    string_stream* s = add_string_stream("fresh");
    // A stream takes part only in scopes where it has a low level of its own (or below them).
    log_capture cap;
    say(msg_man::ERROR, "/", "nowhere new");
    m.set_level(f, "/ksx0", msg_man::DEBUG);
    m.set_level(s, "/ksx1", msg_man::MSG);
    m.set_high_level(s, "/ksx2", msg_man::ERROR);  // a high level alone gives no part
    say(msg_man::ERROR, "/", "root");
    say(msg_man::DEBUG, "/ksx0/txs", "file sub-scope");
    say(msg_man::ERROR, "/ksx1", "string scope");
    say(msg_man::ERROR, "/ksx2", "cout only");
    m.close(f);
    say(msg_man::ERROR, "/ksx0", "console only");
    EXPECT_EQ(read_file(path), "[DEBUG][/ksx0/txs] file sub-scope\n");
    EXPECT_EQ(s->take(), " string scope\n");
    EXPECT_EQ(cap.text(), "[ERROR][/] nowhere new\n[ERROR][/] root\n[ERROR][/ksx1] string scope\n"
                          "[ERROR][/ksx2] cout only\n[ERROR][/ksx0] console only\n");
    m.close(s);
    EXPECT_EQ(m.streams(), std::vector<msg_stream*>({cout_stream()}));

    // Reopening the same stream truncates the file; its levels stay.
    ASSERT_TRUE(m.open(f, path, "trace"));
    say(msg_man::INFO, "/ksx0", "again");
    m.close(f);
    EXPECT_EQ(read_file(path), "[INFO][/ksx0] again\n");
    std::remove(path.c_str());

    // A file that cannot be opened is reported at ERROR in "/", and the stream stays closed;
    // the message being written keeps its level and scope.
    m.change_scope("/ksx3").change_level(msg_man::INFO);
    cap.clear();
    msg_stream_file* bad = nullptr;
    EXPECT_FALSE(m.open(bad, "/nonexistent-dir-ksx/m.log"));
    ASSERT_NE(bad, nullptr);
    EXPECT_FALSE(bad->is_open());
    EXPECT_EQ(cap.text(), "[ERROR][/] file '/nonexistent-dir-ksx/m.log' can NOT open for write.\n");
    EXPECT_EQ(m.current_level(), msg_man::INFO);
    EXPECT_EQ(m.current_scope()->full_name(), "/ksx3");
    EXPECT_EQ(m.streams().size(), 1u);
}

TEST_F(MsgManTest, ByteDumps) {
    msg_man& m = msg_man::instance();
    string_stream* s = add_string_stream("dump");
    m.set_level(s, "/", msg_man::MSG);
    m.change_level(msg_man::ERROR).change_scope("/");
    const uint8_t a[] = {0x00, 0x01, 0x7f, 0x80, 0xfe, 0xff, 0x10, 0x20, 0x30, 0x40};
    log_capture quiet;

    m.display_formatted_data(a, sizeof a, 16, 2, '0', 4, 8, 2, "", " ");
    EXPECT_EQ(s->take(), "  00017f80 feff1020\n  3040\n");
    m.display_formatted_data(a, 3, 10, 3, ' ', 1, 16, 0, ",", ",");
    EXPECT_EQ(s->take(), "  0,  1,127\n");
    m.display_formatted_data(a + 2, 2, 2, 8, '0', 1, 1, 0, "", " ");
    EXPECT_EQ(s->take(), "01111111\n10000000\n");
    m.display_formatted_data(a, 0);
    EXPECT_EQ(s->take(), "");

    uint8_t b[10];
    std::copy(std::begin(a), std::end(a), b);
    b[9] = 0x41;
    EXPECT_EQ(m.diff_formatted_data(a, sizeof a, b, sizeof b, 16, 2, '0', 4, 8, 0, "", " "), 1u);
    EXPECT_EQ(s->take(),
              "---- data 0 ---\n00017f80 feff1020\n3040 *\n"
              "---- data 1 ---\n00017f80 feff1020\n3041 *\n");
    EXPECT_EQ(m.diff_formatted_data(a, 4, b, 2, 16, 2, '0', 2, 2, 1, ":", "-"), 2u);
    EXPECT_EQ(s->take(), "---- data 0 ---\n 00:01\n 7f:80 *\n---- data 1 ---\n 00:01\n");
    EXPECT_EQ(m.diff_formatted_data(a, 2, a, 2), 0u);
    EXPECT_EQ(s->take(), "---- data 0 ---\n0001\n---- data 1 ---\n0001\n");
}

// Illegal scope names, given or from the scope knob, end the process with exit code 1000,
// which a parent sees modulo 256.
TEST(MsgManDeathTest, IllegalScopeNamesEndTheProcess) {
    const std::pair<const char*, const char*> names[] = {
        {"/a/", " '/a/': must not end with '/'"},  {"a/b", " 'a/b': must start with '/'"},
        {"//", " '//': must not end with '/'"},    {"", ": empty string\\."},
        {"/a//b", " '/a//b': more than 1 '/' is not allowed as delimiter of hierarchy\\."}};
    for (const auto& [name, why] : names)
        EXPECT_EXIT(msg_man::instance().change_scope(name), ::testing::ExitedWithCode(1000 & 0xff),
                    std::string("^\\[FATAL\\] illegal scope name") + why + "\n$");
    EXPECT_EXIT(msg_man::instance().get_scope("/a//b"), ::testing::ExitedWithCode(1000 & 0xff), "more than 1");
    EXPECT_EXIT(msg_man::instance().set_default(msg_man::ERROR, "a"), ::testing::ExitedWithCode(1000 & 0xff),
                "must start with");
    EXPECT_EXIT(
        {
            sknobs_reset();
            sknobs_set_string("msg_man/scope", "ksx0");
            sknobs_set_string("msg_man/level", "debug");
            msg_man::instance().apply_level_knobs();
        },
        ::testing::ExitedWithCode(1000 & 0xff), "^\\[FATAL\\] illegal scope name 'ksx0': must start with '/'\n$");
}

// Sets the level knobs, applies them, and returns what one message per level in
// msg_scope_name put on standard output. Starts from the initial window 1..10.
std::string after_level_knobs(const char* scope_knob, const char* level_knob,
                              const std::string& msg_scope_name) {
    MsgManTest::restore();
    if (scope_knob) sknobs_set_string("msg_man/scope", scope_knob);
    if (level_knob) sknobs_set_string("msg_man/level", level_knob);
    log_capture cap;
    msg_man::instance().apply_level_knobs();
    for (int level : {1, 2, 10, 20, 30, 40}) {
        say(static_cast<msg_man::msg_level_t>(level), msg_scope_name, "L" + std::to_string(level));
    }
    return cap.text();
}

TEST_F(MsgManTest, LevelKnobsSetTheStandardOutputWindow) {
    const std::string l1 = "[ERROR][/] L1\n", l2 = l1 + "[WARNING][/] L2\n", l10 = l2 + "[MSG][/] L10\n",
                      l20 = l10 + "[INFO][/] L20\n", all = l20 + "[CPU][/] L30\n[DEBUG][/] L40\n";
    // Texts that name no level ("cpu" is not one of them) leave the default window.
    const std::pair<const char*, std::string> windows[] = {{"debug", all}, {"error", l1},  {"warning", l2},
                                                           {"info", l20},  {"cpu", l10},   {"DEBUG", l10},
                                                           {"", l10},      {nullptr, l10}, {"msg", l10}};
    for (const auto& [level, expected] : windows) EXPECT_EQ(after_level_knobs(nullptr, level, "/"), expected) << (level ? level : "(none)");
    EXPECT_EQ(after_level_knobs("/", "debug", "/"), all);
    EXPECT_EQ(cout_stream()->default_level(), msg_stream::DEBUG);  // "/" sets the default

    // The manager reads the knobs once, when it starts: a later init changes nothing.
    restore();
    sknobs_set_string("msg_man/level", "debug");
    msg_man::instance().init();
    EXPECT_EQ(cout_stream()->default_level(), msg_stream::MSG);
    EXPECT_EQ(msg_man::instance().streams().size(), 1u);
}

TEST_F(MsgManTest, ScopeKnobLimitsTheLevelToASubTree) {
    EXPECT_EQ(after_level_knobs("/ksx0", "debug", "/ksx0/txs"),
              "[ERROR][/ksx0/txs] L1\n[WARNING][/ksx0/txs] L2\n[MSG][/ksx0/txs] L10\n"
              "[INFO][/ksx0/txs] L20\n[CPU][/ksx0/txs] L30\n[DEBUG][/ksx0/txs] L40\n");
    EXPECT_EQ(cout_stream()->default_level(), msg_stream::MSG);
    EXPECT_EQ(after_level_knobs("/ksx0", "debug", "/ksx1"),
              "[ERROR][/ksx1] L1\n[WARNING][/ksx1] L2\n[MSG][/ksx1] L10\n");
    EXPECT_EQ(after_level_knobs("/ksx0", "error", "/ksx0"), "[ERROR][/ksx0] L1\n");
}

}  // namespace
