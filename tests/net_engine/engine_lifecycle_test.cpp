// Life cycle of the engine: states, threads, stop paths, queued work at stop.
#include "engine_test_support.h"

using namespace net_engine;
using namespace engine_test;

TEST(EngineLifecycle, InitAndStartAreGuardedByState) {
    auto engine = INetEngine::Create();
    EXPECT_EQ(engine->Start(), -1) << "Start before Init";
    EXPECT_EQ(engine->Stop(false), -1) << "Stop before Init";
    auto counter = std::make_shared<StopCounter>();
    ASSERT_EQ(engine->Init(counter, nullptr), 0);
    EXPECT_EQ(engine->Init(counter, nullptr), -1) << "second Init";
    ASSERT_EQ(engine->Start(), 0);
    EXPECT_EQ(engine->Start(), 0) << "second Start reuses the thread";
    EXPECT_EQ(engine->Stop(false), 0);
    EXPECT_EQ(counter->stops.load(), 1);
    EXPECT_EQ(engine->Stop(false), -1) << "already stopped";
}

TEST(EngineLifecycle, RestartsAfterStopWithAFreshLoop) {
    auto counter = std::make_shared<StopCounter>();
    auto engine = INetEngine::Create();
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(engine->Init(counter, nullptr), 0) << "round " << round;
        ASSERT_EQ(engine->Start(), 0);
        int fired = 0;
        OnLoop(engine, [&] { ++fired; });
        EXPECT_EQ(fired, 1);
        ASSERT_EQ(engine->Stop(false), 0);
    }
    EXPECT_EQ(counter->stops.load(), 3);
}

TEST(EngineLifecycle, StopFromTheLoopThreadDetachesAndEndsTheLoop) {
    auto counter = std::make_shared<StopCounter>();
    auto engine = StartedEngine(counter);
    int rc = 1;
    std::atomic<bool> afterStop{false};
    auto timer = ITimerHandleInterface::Create(
        [&](std::shared_ptr<ITimerHandleInterface> self, void*) {
            engine->DelTimerReq(self, false, nullptr, nullptr);
            rc = engine->Stop(false);
            afterStop = true;  // the loop ends only after this callback returns
        },
        nullptr, 0, 0, nullptr);
    ASSERT_EQ(engine->AddTimerReq(timer, false, nullptr, nullptr), 0);
    ASSERT_TRUE(WaitUntil([&] { return counter->stops.load() == 1; }));
    EXPECT_TRUE(afterStop.load());
    EXPECT_EQ(rc, 0);
    // Once torn down it can be brought up again.
    ASSERT_TRUE(WaitUntil([&] { return engine->Init(counter, nullptr) == 0; }));
    ASSERT_EQ(engine->Start(), 0);
    EXPECT_EQ(engine->Stop(false), 0);
}

TEST(EngineLifecycle, QueuedAddIsAnsweredWithFailureAtStopWhileQueuedDeleteRuns) {
    LogLines logs;
    auto engine = StartedEngine();
    std::vector<std::string> order;
    std::mutex orderMutex;
    auto record = [&](const std::string& what) {
        std::lock_guard<std::mutex> lock(orderMutex);
        order.push_back(what);
    };
    // A running timer that gets deleted by a record still queued at stop.
    std::atomic<bool> closed{false};
    auto running = ITimerHandleInterface::Create(nullptr, [&](std::shared_ptr<ITimerHandleInterface>, void*) {
        closed = true;
    }, 60000, 0, nullptr);
    ASSERT_EQ(engine->AddTimerReq(running, false, nullptr, nullptr), 0);
    OnLoop(engine, [] {});  // the add above has run

    auto handle = IHttpHandleInterface::Create();
    ASSERT_EQ(handle->Init("http://127.0.0.1:9/", "queued", HTTP_KIND_GET, nullptr, 1000, 1000, nullptr), 0);
    auto late = ITimerHandleInterface::Create(nullptr, 10, 0, nullptr);
    int addHttp = 1, addTimer = 1, delTimer = 1;
    // Hold the loop in a callback so that everything below is still queued when Stop runs.
    std::atomic<bool> release{false}, spinning{false};
    auto blocker = ITimerHandleInterface::Create(
        [&](std::shared_ptr<ITimerHandleInterface>, void*) {
            spinning = true;
            while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            engine->Stop(false);
        },
        nullptr, 0, 0, nullptr);
    ASSERT_EQ(engine->AddTimerReq(blocker, true, nullptr, nullptr), 0);
    ASSERT_TRUE(WaitUntil([&] { return spinning.load(); }));
    ASSERT_EQ(engine->AddHttpReq(handle, true, [&](std::shared_ptr<IHttpHandleInterface>, void*, int r) {
        addHttp = r;
        record("add http");
    }, nullptr), 0);
    ASSERT_EQ(engine->AddTimerReq(late, true, [&](std::shared_ptr<ITimerHandleInterface>, void*, int r) {
        addTimer = r;
        record("add timer");
    }, nullptr), 0);
    ASSERT_EQ(engine->DelTimerReq(running, true, [&](std::shared_ptr<ITimerHandleInterface>, void*, int r) {
        delTimer = r;
        record("del timer");
    }, nullptr), 0);
    ASSERT_EQ(engine->DelTimerReq(blocker, true, nullptr, nullptr), 0);
    release = true;
    ASSERT_TRUE(WaitUntil([&] { return closed.load(); }));
    EXPECT_EQ(addHttp, -1);
    EXPECT_EQ(addTimer, -1);
    EXPECT_EQ(delTimer, 0);
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[2], "del timer") << "cancelled adds are answered before the rest runs";
    // The handle was never added: it still needs its delete, which a stopped engine refuses.
    EXPECT_EQ(engine->AddHttpReq(handle, true, nullptr, nullptr), -1);
    EXPECT_TRUE(logs.Contains("[NET_ENGINE]Can not add http req now"));
    EXPECT_EQ(engine->AddTimerReq(late, true, nullptr, nullptr), -1);
    EXPECT_TRUE(logs.Contains("[NET_ENGINE]Can not add timer req now"));
}

TEST(EngineLifecycle, NullTargetsAreRefused) {
    auto engine = StartedEngine();
    EXPECT_EQ(engine->AddHttpReq(nullptr, false, nullptr, nullptr), -1);
    EXPECT_EQ(engine->DelHttpReq(nullptr, false, nullptr, nullptr), -1);
    EXPECT_EQ(engine->AddTimerReq(nullptr, false, nullptr, nullptr), -1);
    EXPECT_EQ(engine->DelTimerReq(nullptr, false, nullptr, nullptr), -1);
    EXPECT_EQ(engine->Stop(false), 0);
}

TEST(EngineLifecycle, ReleasingAStartedEngineDoesNotEndTheProcess) {
    {
        auto engine = StartedEngine();
        OnLoop(engine, [] {});
    }
    {
        auto engine = INetEngine::Create();
        ASSERT_EQ(engine->Init(nullptr, nullptr), 0);  // initialised, never started
    }
    SUCCEED();
}

TEST(EngineLifecycle, ManyThreadsQueueWorkWhileTheEngineStops) {
    auto engine = StartedEngine();
    std::atomic<int> answered{0}, accepted{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                auto timer = ITimerHandleInterface::Create(nullptr, 1000000, 0, nullptr);
                if (engine->AddTimerReq(timer, true, [&, timer](std::shared_ptr<ITimerHandleInterface> self, void*, int r) {
                        ++answered;
                        if (r == 0) engine->DelTimerReq(self, false, nullptr, nullptr);
                    }, nullptr) == 0)
                    ++accepted;
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    std::thread stopper([&] { engine->Stop(false); });
    for (auto& t : threads) t.join();
    stopper.join();
    EXPECT_EQ(answered.load(), accepted.load()) << "every accepted operation is answered exactly once";
}
