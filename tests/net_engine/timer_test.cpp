// Timers: expiries, stop and again, delete order, self-ownership.
#include "engine_test_support.h"

using namespace net_engine;
using namespace engine_test;

namespace {

struct TimerEvents : ITimerHandleNotic {
    std::mutex mutex;
    std::vector<std::string> events;
    std::atomic<int> fired{0};
    std::atomic<bool> closed{false};
    void OnTimer(std::shared_ptr<ITimerHandleInterface>, void*) override {
        ++fired;
        Add("timer");
    }
    void OnTimerClose(std::shared_ptr<ITimerHandleInterface>, void*) override {
        Add("close");
        closed = true;
    }
    void Add(const std::string& e) {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(e);
    }
    std::vector<std::string> Events() {
        std::lock_guard<std::mutex> lock(mutex);
        return events;
    }
};

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override { engine = StartedEngine(); }
    void TearDown() override { EXPECT_EQ(engine->Stop(false), 0); }
    std::shared_ptr<INetEngine> engine;
};

}  // namespace

TEST_F(TimerTest, OneShotFiresOnceAndRepeatingKeepsFiring) {
    auto once = std::make_shared<TimerEvents>();
    auto repeat = std::make_shared<TimerEvents>();
    auto t1 = ITimerHandleInterface::Create(once, 5, 0, nullptr);
    auto t2 = ITimerHandleInterface::Create(repeat, 5, 5, nullptr);
    ASSERT_EQ(engine->AddTimerReq(t1, false, nullptr, nullptr), 0);
    ASSERT_EQ(engine->AddTimerReq(t2, false, nullptr, nullptr), 0);
    ASSERT_TRUE(WaitUntil([&] { return repeat->fired.load() >= 4; }));
    EXPECT_EQ(once->fired.load(), 1);
    // Again on a one-shot timer that has fired does not start it again.
    int againResult = 1;
    ASSERT_EQ(t1->Again([&](std::shared_ptr<ITimerHandleInterface>, void*, int r) { againResult = r; }, nullptr), 0);
    OnLoop(engine, [] {});
    EXPECT_EQ(againResult, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(once->fired.load(), 1);
    engine->DelTimerReq(t1, false, nullptr, nullptr);
    engine->DelTimerReq(t2, false, nullptr, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return once->closed && repeat->closed; }));
}

TEST_F(TimerTest, StopHaltsAndAgainRestartsWithTheRepeatInterval) {
    auto events = std::make_shared<TimerEvents>();
    auto timer = ITimerHandleInterface::Create(events, 2, 2, nullptr);
    ASSERT_EQ(engine->AddTimerReq(timer, false, nullptr, nullptr), 0);
    ASSERT_TRUE(WaitUntil([&] { return events->fired.load() >= 2; }));
    int stopResult = 1;
    ASSERT_EQ(timer->Stop([&](std::shared_ptr<ITimerHandleInterface>, void*, int r) { stopResult = r; }, nullptr), 0);
    OnLoop(engine, [] {});
    EXPECT_EQ(stopResult, 0);
    int stoppedAt = events->fired.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(events->fired.load(), stoppedAt);
    ASSERT_EQ(timer->Again(nullptr, nullptr), 0);
    ASSERT_TRUE(WaitUntil([&] { return events->fired.load() >= stoppedAt + 2; }));
    // On the loop thread both run at once and answer synchronously.
    OnLoop(engine, [&] {
        int r = -2;
        EXPECT_EQ(timer->Stop([&](std::shared_ptr<ITimerHandleInterface>, void*, int res) { r = res; }, nullptr), 0);
        EXPECT_EQ(r, 0);
    });
    engine->DelTimerReq(timer, false, nullptr, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return events->closed.load(); }));
}

TEST_F(TimerTest, DeleteAnswersTheCallbackBeforeTheCloseNotification) {
    auto events = std::make_shared<TimerEvents>();
    auto timer = ITimerHandleInterface::Create(events, 100000, 0, nullptr);
    ASSERT_EQ(engine->AddTimerReq(timer, false, nullptr, nullptr), 0);
    ASSERT_EQ(engine->DelTimerReq(timer, false, [&](std::shared_ptr<ITimerHandleInterface>, void*, int r) {
        events->Add("deleted " + std::to_string(r));
    }, nullptr), 0);
    ASSERT_TRUE(WaitUntil([&] { return events->closed.load(); }));
    EXPECT_EQ(events->Events(), (std::vector<std::string>{"deleted 0", "close"}));
}

TEST_F(TimerTest, AStartedTimerKeepsItselfAliveUntilClosed) {
    std::atomic<int> fired{0};
    std::weak_ptr<ITimerHandleInterface> weak;
    {
        auto timer = ITimerHandleInterface::Create(
            [&](std::shared_ptr<ITimerHandleInterface> self, void*) {
                if (++fired == 3) engine->DelTimerReq(self, false, nullptr, nullptr);
            },
            nullptr /* empty close function */, 1, 1, nullptr);
        weak = timer;
        ASSERT_EQ(engine->AddTimerReq(timer, true, nullptr, nullptr), 0);
    }
    ASSERT_TRUE(WaitUntil([&] { return weak.expired(); })) << "closed with an empty close function, then released";
    EXPECT_EQ(fired.load(), 3);
}

TEST_F(TimerTest, OperationsOnATimerNeverAddedFail) {
    auto timer = ITimerHandleInterface::Create(nullptr, 10, 0, nullptr);
    EXPECT_EQ(timer->Stop(nullptr, nullptr), -1);
    EXPECT_EQ(timer->Again(nullptr, nullptr), -1);
}

TEST_F(TimerTest, StopAndAgainFromOtherThreadsAreQueued) {
    auto events = std::make_shared<TimerEvents>();
    auto timer = ITimerHandleInterface::Create(events, 1, 1, nullptr);
    std::atomic<int> added{1};
    ASSERT_EQ(engine->AddTimerReq(timer, false, [&](std::shared_ptr<ITimerHandleInterface>, void*, int r) { added = r; },
                                  nullptr),
              0);
    // A timer knows its engine once the add has run on the loop.
    ASSERT_TRUE(WaitUntil([&] { return added.load() == 0; }));
    std::atomic<int> answers{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 100; ++i) {
                auto cb = [&](std::shared_ptr<ITimerHandleInterface>, void*, int r) { answers += r == 0; };
                int rc = (i + t) % 2 ? timer->Stop(cb, nullptr) : timer->Again(cb, nullptr);
                EXPECT_EQ(rc, 0);
            }
        });
    }
    for (auto& th : threads) th.join();
    ASSERT_TRUE(WaitUntil([&] { return answers.load() == 400; })) << answers.load();
    engine->DelTimerReq(timer, false, nullptr, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return events->closed.load(); }));
}
