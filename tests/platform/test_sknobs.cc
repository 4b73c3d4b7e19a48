// The knob database: definitions from arguments and knob files, matching, random values,
// iteration, failure reports and replacement.
#include "platform/hal/sknobs.h"
#include "tests/support/knob_fixture.h"
#include "tests/support/log_capture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

class sknobs_test : public knob_fixture {
protected:
    void SetUp() override {
        knob_fixture::SetUp();
        std::string tmpl = ::testing::TempDir() + "sknobs_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        knob_fixture::TearDown();
        std::string cmd = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }

    // Writes a knob file in the test's folder and returns its path.
    std::string write(const std::string& name, const std::string& text) {
        const std::string path = dir_ + "/" + name;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path) << text;
        return path;
    }

    static int init(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        return sknobs_init(static_cast<int>(argv.size()), argv.data());
    }

    static std::string str(const char* key) { return sknobs_get_string(key, "<none>"); }

    static std::vector<std::pair<std::string, std::string>> iterate(const char* pattern) {
        std::vector<std::pair<std::string, std::string>> out;
        sknobs_iterator_p it = sknobs_iterate(pattern);
        while (sknobs_iterator_next(it)) {
            out.emplace_back(sknobs_iterator_get_name(it), sknobs_iterator_get_string(it));
        }
        sknobs_iterator_free(it);
        return out;
    }

    static std::vector<uint64_t> draws(const char* key, int n) {
        std::vector<uint64_t> out;
        for (int i = 0; i < n; ++i) out.push_back(sknobs_get_dynamic_value(key, 0));
        return out;
    }

    std::string dir_;
};

using kv = std::vector<std::pair<std::string, std::string>>;

TEST_F(sknobs_test, arguments_define_knobs_in_order) {
    log_capture cap;
    EXPECT_EQ(init({"prog", "+dec=42", "+flag", "+hex=0x1F", "+oct=017", "+big=0xffffffffffffffff",
                    "+mode=back_door", "+eq=a=b", "+empty=", "stray", "-x", "+=3", "+dec=43"}),
              0);
    EXPECT_EQ(sknobs_get_value("dec", 7), 43u);
    EXPECT_EQ(str("flag"), "1");
    EXPECT_EQ(sknobs_get_value("hex", 7), 0x1fu);
    EXPECT_EQ(sknobs_get_value("oct", 7), 15u);
    EXPECT_EQ(sknobs_get_value("big", 0), UINT64_MAX);
    EXPECT_EQ(str("mode"), "back_door");
    EXPECT_EQ(sknobs_get_value("mode", 7), 0u);  // text reads as 0, not as the default
    EXPECT_EQ(str("eq"), "a=b");
    EXPECT_TRUE(sknobs_exists("empty"));
    EXPECT_EQ(str("empty"), "");
    EXPECT_EQ(sknobs_get_value("empty", 7), 0u);
    EXPECT_FALSE(sknobs_exists("stray"));
    EXPECT_FALSE(sknobs_exists(""));
    EXPECT_EQ(sknobs_get_value("missing", 0xFFFFFFFF), 0xFFFFFFFFu);
    EXPECT_STREQ(sknobs_get_string("missing", "fallback"), "fallback");
    EXPECT_EQ(sknobs_get_dynamic_value("missing", 2), 2u);
    EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: sknobs: bad argument \"+=3\""}));

    // Numbers that are not quite numbers are text.
    init({"+o8=08", "+x=0x", "+over=18446744073709551616", "+neg=-1", "+sp= 5"});
    for (const char* key : {"o8", "x", "over", "neg", "sp"}) {
        EXPECT_EQ(sknobs_get_value(key, 7), 0u) << key;
    }

    // Null keys and arguments are ignored.
    EXPECT_EQ(sknobs_get_value(nullptr, 5), 5u);
    EXPECT_STREQ(sknobs_get_string(nullptr, "d"), "d");
    EXPECT_EQ(sknobs_exists(nullptr), 0);
    EXPECT_EQ(sknobs_init(0, nullptr), 0);
}

TEST_F(sknobs_test, files_from_arguments_and_includes) {
    write("inner.knobs", "+inner=2 +shared=inner\n");
    write("sub/deep.knobs", "+deep=0x10\n");
    const std::string outer = write("outer.knobs",
                                    "+outer=1\n"
                                    "-f inner.knobs   // relative to this file\n"
                                    "-f sub/deep.knobs\n"
                                    "+shared=outer\n");
    EXPECT_EQ(init({"prog", "+shared=arg", "-f", outer, "+after=1"}), 0);
    EXPECT_EQ(iterate("*"), (kv{{"shared", "arg"}, {"outer", "1"}, {"inner", "2"}, {"shared", "inner"},
                                {"deep", "0x10"}, {"shared", "outer"}, {"after", "1"}}));
    // An empty file is a valid file with nothing in it.
    EXPECT_EQ(sknobs_load_file(write("empty.knobs", "").c_str()), 0);
}

TEST_F(sknobs_test, comments_and_glob_keys_with_slashes) {
    const std::string path = write("c.knobs",
                                   "// a line comment +hidden=1\n"
                                   "+a=1 // trailing +hidden2=1\n"
                                   "/* block\n"
                                   "   +hidden3=1\n"
                                   "*/ +b=2 /* inline */ +c=3\n"
                                   "+ksx0/*/enable=1\n"
                                   "+path=/tmp//x\n"
                                   "\t+d=4/*kept*/\n"
                                   "/**/+e=5\n");
    EXPECT_EQ(sknobs_load_file(path.c_str()), 0);
    EXPECT_EQ(iterate("*"), (kv{{"a", "1"},
                                {"b", "2"},
                                {"c", "3"},
                                {"ksx0/*/enable", "1"},
                                {"path", "/tmp//x"},
                                {"d", "4/*kept*/"},
                                {"e", "5"}}));
    EXPECT_EQ(sknobs_get_value("ksx0/nx/enable", 0), 1u);
    EXPECT_EQ(sknobs_get_value("ksx1/nx/enable", 0), 0u);
}

TEST_F(sknobs_test, repeated_keys_and_glob_precedence) {
    add("q", "1");
    add("q", "2");
    EXPECT_EQ(sknobs_get_value("q", 0), 2u);
    add("q*", "3");  // a later glob beats the earlier exact definitions
    EXPECT_EQ(sknobs_get_value("q", 0), 3u);
    EXPECT_EQ(sknobs_get_value("qx", 0), 3u);
    add("q", "4");  // and a later exact definition beats the glob
    EXPECT_EQ(sknobs_get_value("q", 0), 4u);
    EXPECT_EQ(sknobs_get_value("qx", 0), 3u);

    // fnmatch patterns: '*' also spans '/', '?' one character, [..] a set.
    add("ksx?/txs/num_lif", "8");
    add("ksx[01]/nx/*", "9");
    add("*/block_access", "1");
    EXPECT_EQ(sknobs_get_value("ksx3/txs/num_lif", 0), 8u);
    EXPECT_EQ(sknobs_get_value("ksx10/txs/num_lif", 0), 0u);
    EXPECT_EQ(sknobs_get_value("ksx1/nx/a/b", 0), 9u);
    EXPECT_EQ(sknobs_get_value("ksx2/nx/a", 0), 0u);
    EXPECT_EQ(sknobs_get_value("ksx_csr_base/block_access", 0), 1u);
    EXPECT_TRUE(sknobs_exists("a/b/block_access"));
    EXPECT_FALSE(sknobs_exists("block_access"));
}

TEST_F(sknobs_test, iteration_order_and_snapshot) {
    add("KnobDef", "first");
    add("blk/KnobDef", "b1");
    add("*KnobDef", "everywhere");
    add("blk/KnobDef", "b2");
    add("blk/other", "x");
    // A plain key yields every definition a read of that key considers, in order.
    EXPECT_EQ(iterate("blk/KnobDef"),
              (kv{{"blk/KnobDef", "b1"}, {"*KnobDef", "everywhere"}, {"blk/KnobDef", "b2"}}));
    EXPECT_EQ(iterate("KnobDef"), (kv{{"KnobDef", "first"}, {"*KnobDef", "everywhere"}}));
    // A glob pattern yields the definitions whose keys it matches.
    EXPECT_EQ(iterate("blk/*"), (kv{{"blk/KnobDef", "b1"}, {"blk/KnobDef", "b2"}, {"blk/other", "x"}}));
    EXPECT_TRUE(iterate("nothing").empty());
    EXPECT_TRUE(iterate(nullptr).empty());

    // The iterator sees the database as it was when the iteration started; before the first
    // next and after the last it stands on nothing.
    sknobs_iterator_p it = sknobs_iterate("blk/other");
    EXPECT_STREQ(sknobs_iterator_get_name(it), "");
    sknobs_set_string("blk/other", "changed");
    sknobs_reset();
    ASSERT_TRUE(sknobs_iterator_next(it));
    EXPECT_STREQ(sknobs_iterator_get_name(it), "blk/other");
    EXPECT_STREQ(sknobs_iterator_get_string(it), "x");
    EXPECT_FALSE(sknobs_iterator_next(it));
    EXPECT_STREQ(sknobs_iterator_get_string(it), "");
    sknobs_iterator_free(it);
    sknobs_iterator_free(nullptr);
    EXPECT_EQ(sknobs_iterator_next(nullptr), 0);
}

TEST_F(sknobs_test, ranges_and_weighted_lists) {
    set("r", "10~20");
    set("rev", "0x20~0x10");
    set("w", "5:1,7:0,9:3");
    set("one", "6:4");
    set("full", "0~0xffffffffffffffff");
    set("notrange", "1~x");
    set("notlist", "5:0,6:0");
    set("g*", "100~200");

    // A plain read draws once per key and keeps the draw, also across unrelated changes.
    const uint64_t r = sknobs_get_value("r", 0);
    EXPECT_TRUE(r >= 10u && r <= 20u) << r;
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(sknobs_get_value("r", 0), r);
        set("unrelated" + std::to_string(i), "1");
    }
    EXPECT_EQ(str("r"), "10~20");  // the text is the definition as written

    // A dynamic read draws every time, within bounds, reaching both ends of a small range.
    std::set<uint64_t> seen;
    for (uint64_t v : draws("r", 400)) seen.insert(v);
    EXPECT_EQ(seen, (std::set<uint64_t>{10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    for (uint64_t v : draws("rev", 200)) EXPECT_TRUE(v >= 0x10u && v <= 0x20u) << v;
    std::set<uint64_t> weighted;
    for (uint64_t v : draws("w", 400)) weighted.insert(v);
    EXPECT_EQ(weighted, (std::set<uint64_t>{5, 9}));  // weight 0 never drawn
    EXPECT_EQ(sknobs_get_dynamic_value("one", 0), 6u);
    EXPECT_EQ(sknobs_get_value("one", 0), 6u);
    EXPECT_EQ(sknobs_get_value("notrange", 7), 0u);
    EXPECT_EQ(sknobs_get_dynamic_value("notlist", 7), 0u);
    EXPECT_GT(sknobs_get_dynamic_value("full", 0) | sknobs_get_dynamic_value("full", 0), 0xffffffffu);

    // Each key a glob answers keeps a draw of its own within the glob's bounds.
    for (const char* key : {"g0", "g1"}) {
        const uint64_t v = sknobs_get_value(key, 0);
        EXPECT_TRUE(v >= 100u && v <= 200u) << v;
        EXPECT_EQ(sknobs_get_value(key, 0), v);
    }

    // Changing the knob draws again, from the new definition.
    set("r", "30~31");
    const uint64_t r2 = sknobs_get_value("r", 0);
    EXPECT_TRUE(r2 == 30u || r2 == 31u) << r2;
    set("r", "12");
    EXPECT_EQ(sknobs_get_value("r", 0), 12u);
    EXPECT_EQ(sknobs_get_dynamic_value("r", 0), 12u);
}

TEST_F(sknobs_test, seeding_is_reproducible) {
    set("r", "0~0xffffffff");
    const std::vector<uint64_t> by_default = draws("r", 16);

    EXPECT_EQ(init({"+seed=42"}), 0);
    const std::vector<uint64_t> seed42 = draws("r", 16);
    sknobs_reset();
    set("r", "0~0xffffffff");
    EXPECT_EQ(draws("r", 16), by_default);  // reset restores the default seed
    init({"+seed=42"});
    EXPECT_EQ(draws("r", 16), seed42);
    EXPECT_NE(seed42, by_default);

    // The SEED environment variable is the default seed; a seed knob overrides it.
    ASSERT_EQ(setenv("SEED", "42", 1), 0);
    sknobs_reset();
    set("r", "0~0xffffffff");
    EXPECT_EQ(draws("r", 16), seed42);
    set("seed", "43");
    EXPECT_NE(draws("r", 16), seed42);
    ASSERT_EQ(unsetenv("SEED"), 0);
}

TEST_F(sknobs_test, bad_files_are_reported_and_dropped) {
    add("kept", "1");
    struct bad_case {
        std::string file;
        std::string text;
        std::string reason;  // after "path:"
    };
    write("good_inner.knobs", "+from_inner=1\n");
    write("bad_inner.knobs", "+inner_ok=1\n\n+inner_bad=1 oops\n");
    write("self.knobs", "+loop=1 -f self.knobs\n");
    const std::vector<bad_case> cases = {
        {"unclosed.knobs", "+u1=1\n+u2=2 /* open\n\n+u3=3\n", "2: unclosed comment"},
        {"token.knobs", "+t1=1\n/* two\nlines */\n+t2=2 t3=3\n", "4: bad token \"t3=3\""},
        {"plus.knobs", "+p1=1\n+=2\n", "2: bad token \"+=2\""},
        {"dashf.knobs", "+f1=1\n-f\n", "2: -f without a file name"},
        {"glued.knobs", "+g1=1 -fgood_inner.knobs\n", "1: bad token \"-fgood_inner.knobs\""},
        {"missing.knobs", "-f good_inner.knobs\n+m1=1\n-f nowhere.knobs\n",
         "3: cannot read knob file \"" + dir_ + "/nowhere.knobs\""},
    };
    for (const auto& c : cases) {
        const std::string path = write(c.file, c.text);
        log_capture cap;
        EXPECT_EQ(sknobs_load_file(path.c_str()), -1) << c.file;
        EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: sknobs: " + path + ":" + c.reason}));
    }
    {
        // An error inside an included file names that file and line.
        const std::string path = write("outer.knobs", "+o1=1\n-f bad_inner.knobs\n");
        log_capture cap;
        EXPECT_EQ(sknobs_load_file(path.c_str()), -1);
        EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: sknobs: " + dir_ +
                                                            "/bad_inner.knobs:3: bad token \"oops\""}));
    }
    {
        const std::string self = dir_ + "/self.knobs";
        log_capture cap;
        EXPECT_EQ(sknobs_load_file(self.c_str()), -1);
        ASSERT_EQ(cap.messages().size(), 1u);
        EXPECT_EQ(cap.messages()[0], "ERROR :: sknobs: " + self + ":1: knob files nested deeper than 16");
    }
    {
        log_capture cap;
        const std::string none = dir_ + "/none.knobs";
        EXPECT_EQ(sknobs_load_file(none.c_str()), -1);
        EXPECT_EQ(sknobs_load_file(dir_.c_str()), -1);  // a folder is not a knob file
        EXPECT_EQ(sknobs_load_file(nullptr), -1);
        EXPECT_EQ(cap.messages(),
                  (std::vector<std::string>{"ERROR :: sknobs: cannot read knob file \"" + none + "\"",
                                            "ERROR :: sknobs: cannot read knob file \"" + dir_ + "\"",
                                            "ERROR :: sknobs: sknobs_load_file without a file name"}));
    }
    // Nothing of a failed file stays, not even what preceded the error or came from a good
    // include; what was there before is intact.
    EXPECT_EQ(iterate("*"), (kv{{"kept", "1"}}));

    // Arguments go on after a failed file, and the failure shows in the result.
    {
        log_capture cap;
        EXPECT_EQ(init({"prog", "+a=1", "-f", dir_ + "/token.knobs", "+b=2", "-f"}), -1);
        EXPECT_EQ(cap.messages().size(), 2u);
        EXPECT_EQ(cap.messages().back(), "ERROR :: sknobs: -f without a file name");
    }
    EXPECT_EQ(iterate("*"), (kv{{"kept", "1"}, {"a", "1"}, {"b", "2"}}));
    EXPECT_EQ(sknobs_load_file((dir_ + "/good_inner.knobs").c_str()), 0);
    EXPECT_EQ(sknobs_get_value("from_inner", 0), 1u);
}

TEST_F(sknobs_test, include_fan_out_is_bounded_bom_skipped_bad_numbers_reported) {
    // Ten files each including the next one ten times would open 10^9 files: the load stops
    // at the file limit, in a moment, and keeps nothing.
    for (int i = 0; i < 9; ++i) {
        std::string text = "+level" + std::to_string(i) + "=1\n";
        for (int k = 0; k < 10; ++k) text += "-f f" + std::to_string(i + 1) + ".knobs\n";
        write("f" + std::to_string(i) + ".knobs", text);
    }
    write("f9.knobs", "+leaf=1\n");
    {
        log_capture cap;
        EXPECT_EQ(sknobs_load_file((dir_ + "/f0.knobs").c_str()), -1);
        ASSERT_EQ(cap.messages().size(), 1u);
        EXPECT_THAT(cap.messages()[0], ::testing::MatchesRegex(
                                           "ERROR :: sknobs: .*/f[0-9]\\.knobs:[0-9]+: more than 1000 knob files "
                                           "opened by one load"));
        EXPECT_EQ(sknobs_exists("leaf"), 0);
    }
    // Exactly at the limit: one file including another 999 times.
    std::string wide;
    for (int k = 0; k < 999; ++k) wide += "-f f9.knobs\n";
    EXPECT_EQ(sknobs_load_file(write("wide.knobs", wide).c_str()), 0);
    sknobs_reset();
    // Lines are bounded over the whole load: 3 files of 400,000 lines.
    const std::string many(400000, '\n');
    write("l1.knobs", many + "-f l2.knobs\n");
    write("l2.knobs", many + "-f l3.knobs\n");
    write("l3.knobs", many);
    {
        log_capture cap;
        EXPECT_EQ(sknobs_load_file((dir_ + "/l1.knobs").c_str()), -1);
        EXPECT_EQ(cap.messages(), (std::vector<std::string>{"ERROR :: sknobs: " + dir_ +
                                                            "/l2.knobs:400001: more than 1000000 lines read by one load"}));
    }
    // A byte-order mark is not part of the first token; values that look like numbers but
    // are none are reported once, with file, line and key, and kept as text.
    const std::string path = write("bom.knobs", "\xEF\xBB\xBF+first=0x10\n+neg=-5\n+note=1//note +ok=-f\n+r=1~x\n");
    {
        log_capture cap;
        EXPECT_EQ(sknobs_load_file(path.c_str()), 0);
        const std::string at = "ERROR :: sknobs: " + path + ":";
        EXPECT_EQ(cap.messages(),
                  (std::vector<std::string>{at + "2: knob \"neg\": value \"-5\" is not an unsigned number, it reads as 0",
                                            at + "3: knob \"note\": value \"1//note\" is not an unsigned number, it reads as 0",
                                            at + "4: knob \"r\": value \"1~x\" is not an unsigned number, it reads as 0"}));
        cap.clear();
        EXPECT_EQ(sknobs_get_value("neg", 7), 0u);
        EXPECT_EQ(cap.text(), "");  // reads report nothing
    }
    EXPECT_EQ(sknobs_get_value("first", 0), 0x10u);
    EXPECT_EQ(str("ok"), "-f");
    {
        log_capture cap;
        EXPECT_EQ(init({"prog", "+arg=-1"}), 0);
        EXPECT_EQ(cap.messages(), (std::vector<std::string>{
                                      "ERROR :: sknobs: argument \"+arg=-1\": value \"-1\" is not an unsigned number, "
                                      "it reads as 0"}));
    }
}

TEST_F(sknobs_test, set_replaces_add_appends_reset_clears) {
    add("a", "1");
    add("a*", "glob");
    add("a", "2");
    sknobs_set_string("a", "x");
    EXPECT_EQ(iterate("a"), (kv{{"a*", "glob"}, {"a", "x"}}));
    EXPECT_EQ(str("a"), "x");
    sknobs_set_value("a", 0xff);
    EXPECT_EQ(str("a"), "255");
    EXPECT_EQ(sknobs_get_value("a", 0), 255u);
    sknobs_set_value("a*", 7);  // replaces the glob definition itself
    EXPECT_EQ(iterate("a*"), (kv{{"a", "255"}, {"a*", "7"}}));
    EXPECT_EQ(sknobs_get_value("ab", 0), 7u);
    EXPECT_EQ(sknobs_get_value("a", 0), 7u);  // the replaced glob is now the latest definition
    sknobs_set_string("new", nullptr);
    EXPECT_EQ(str("new"), "");

    EXPECT_EQ(sknobs_add("bare", nullptr, "a comment"), 0);
    EXPECT_EQ(sknobs_get_value("bare", 0), 1u);
    {
        log_capture cap;
        EXPECT_EQ(sknobs_add("", "1", nullptr), -1);
        EXPECT_EQ(sknobs_add(nullptr, "1", nullptr), -1);
        sknobs_set_string(nullptr, "1");
        sknobs_set_value("", 1);
        EXPECT_EQ(cap.messages(), (std::vector<std::string>{
                                      "ERROR :: sknobs: sknobs_add without a key",
                                      "ERROR :: sknobs: sknobs_add without a key",
                                      "ERROR :: sknobs: sknobs_set_string without a key",
                                      "ERROR :: sknobs: sknobs_set_value without a key"}));
    }

    sknobs_reset();
    EXPECT_TRUE(iterate("*").empty());
    EXPECT_FALSE(sknobs_exists("a"));
    EXPECT_EQ(sknobs_get_value("ab", 9), 9u);
}

TEST_F(sknobs_test, concurrent_reads_during_changes) {
    set("fixed", "5");
    set("glob*", "6");
    set("rand", "1~3");
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&stop, &bad, t] {
            const std::string own = "glob" + std::to_string(t);
            while (!stop.load()) {
                if (sknobs_get_value("fixed", 0) != 5) ++bad;
                if (sknobs_get_value(own.c_str(), 0) != 6) ++bad;
                const uint64_t d = sknobs_get_dynamic_value("rand", 0);
                if (d < 1 || d > 3) ++bad;
                if (std::string(sknobs_get_string("fixed", "")) != "5") ++bad;
            }
        });
    }
    for (int i = 0; i < 2000; ++i) {
        add("churn" + std::to_string(i % 50), std::to_string(i));
        set("churn_set", std::to_string(i));
    }
    stop = true;
    for (auto& r : readers) r.join();
    EXPECT_EQ(bad.load(), 0);
    EXPECT_EQ(sknobs_get_value("churn_set", 0), 1999u);
}

}  // namespace

TEST(sknobs_generation, changes_with_every_definition_and_never_with_reads) {
    knob_guard knobs;
    const uint64_t g0 = sknobs_generation();
    (void)sknobs_get_value("a", 0);
    (void)sknobs_get_string("a", "");
    EXPECT_EQ(sknobs_generation(), g0);
    knobs.set("a", "1");
    const uint64_t g1 = sknobs_generation();
    EXPECT_NE(g1, g0);
    knobs.add("b*", "2");
    EXPECT_NE(sknobs_generation(), g1);
    const uint64_t g2 = sknobs_generation();
    sknobs_reset();
    EXPECT_NE(sknobs_generation(), g2);
}
