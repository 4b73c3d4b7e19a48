// Block tests registered by name and driven through their phases by an environment.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ip/verif/pcpp/cpu.h"
#include "ip/verif/pcpp/vmo_blk_env_base.h"
#include "ip/verif/pcpp/vmo_blk_test_base.h"
#include "ip/verif/pcpp/vmo_test_factory.h"
#include "ip/verif/pcpp/vmo_test_factory_creator.h"
#include "tests/support/log_capture.h"

namespace {

using lines_t = std::vector<std::string>;

// A test that records the phases it ran, with the access type it had at each.
class recording_test : public vmo_blk_test_base {
public:
    explicit recording_test(vmo_blk_env_base* env, std::string tag = "rec") : env(env), tag(std::move(tag)) {}
    void do_config() override { note("config"); }
    void do_main() override { note("main"); }
    void do_shutdown() override { note("shutdown"); }
    void note(const std::string& what) { ran.push_back(what + "@" + std::to_string(get_access_type())); }

    vmo_blk_env_base* env;
    std::string tag;
    std::vector<std::string> ran;
};

// Also runs the background phase.
class background_test : public recording_test {
public:
    using recording_test::recording_test;
    void do_main_bkgrnd() override { note("main_bkgrnd"); }
};

// Creator whose tests carry a tag, to tell two creators of one name apart.
class tagged_creator : public vmo_test_factory_creator {
public:
    tagged_creator(const std::string& name, std::string tag) : vmo_test_factory_creator(name), tag_(std::move(tag)) {}
    vmo_blk_test_base* create(vmo_blk_env_base* env) override { return new recording_test(env, tag_); }

private:
    std::string tag_;
};

// Registered for the whole program, as a program that defines tests would do.
vmo_test_factory_creator_t<recording_test> g_plain("plain_test");
vmo_test_factory_creator_t<background_test> g_background("background_test");

class TestFactory : public ::testing::Test {
protected:
    void TearDown() override { cpu::access()->set_access_type(FRONT_DOOR); }
};

TEST_F(TestFactory, CreatorsRegisterByNameAndLaterOnesReplace) {
    auto& table = vmo_test_factory::get_table();
    vmo_blk_env_base env(3);
    std::unique_ptr<vmo_blk_test_base> t(vmo_test_factory::create("plain_test", &env));
    EXPECT_EQ(dynamic_cast<recording_test&>(*t).env, &env);
    EXPECT_EQ(vmo_test_factory::create("no_such_test", &env), nullptr);

    {
        tagged_creator first("twice", "first");
        tagged_creator second("twice", "second");
        std::unique_ptr<vmo_blk_test_base> made(vmo_test_factory::create("twice", &env));
        EXPECT_EQ(dynamic_cast<recording_test&>(*made).tag, "second");

        vmo_test_factory::registerit("twice", &first);
        made.reset(vmo_test_factory::create("twice", &env));
        EXPECT_EQ(dynamic_cast<recording_test&>(*made).tag, "first");
    }
    // Creators that are gone leave no entry behind.
    EXPECT_EQ(table.count("twice"), 0u);
    EXPECT_EQ(vmo_test_factory::create("twice", &env), nullptr);
}

TEST_F(TestFactory, PhasesRunByNameWithTheDispatchersAccessType) {
    vmo_blk_env_base env(0);
    log_capture cap;
    env.exec_phase("config");  // no test: nothing happens
    env.add_test("missing_test");
    EXPECT_EQ(env.get_test(), nullptr);
    env.exec_phase("main");
    EXPECT_EQ(cap.messages(), lines_t({"ERROR :: c test: missing_test doesn't exist"}));
    env.add_test("plain_test");
    std::unique_ptr<vmo_blk_test_base> owned(env.get_test());  // the environment does not own it
    auto& rec = dynamic_cast<recording_test&>(*owned);
    cap.clear();
    env.exec_phase("config");
    cpu::access()->set_access_type(BACK_DOOR);
    env.exec_phase("main");
    env.exec_phase("main_bkgrnd");  // the base does nothing here
    cpu::access()->set_access_type(AIR_SLAVE);
    env.exec_phase("Main");
    EXPECT_EQ(rec.get_access_type(), AIR_SLAVE);  // taken even for an unknown phase
    cpu::access()->set_access_type(FRONT_DOOR);
    env.exec_phase("shutdown");
    env.exec_phase("");
    EXPECT_EQ(rec.ran, lines_t({"config@0", "main@1", "shutdown@0"}));
    EXPECT_EQ(cap.messages(), lines_t({"ERROR :: phase Main is not found", "ERROR :: phase  is not found"}));
    EXPECT_EQ(cap.lines().size(), 2u);

    // A test that has background work runs it in its phase.
    vmo_blk_env_base env1(1);
    env1.add_test("background_test");
    std::unique_ptr<vmo_blk_test_base> bg(env1.get_test());
    cpu::access()->set_access_type(BACK_DOOR);
    env1.exec_phase("main_bkgrnd");
    EXPECT_EQ(dynamic_cast<recording_test&>(*bg).ran, lines_t({"main_bkgrnd@1"}));
    // A directly set access type lasts until the next phase takes the dispatcher's.
    bg->set_access_type(AIR_SLAVE);
    cpu::access()->set_access_type(FRONT_DOOR);
    bg->exec_phase("config");
    EXPECT_EQ(bg->get_access_type(), FRONT_DOOR);
}

}  // namespace
