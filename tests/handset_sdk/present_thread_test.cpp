// Show mode's present thread: every picture handed over is drawn once, in
// order, and the player lives on that one thread from Init to UnInit (an
// OpenGL context cannot follow pictures from thread to thread). The player
// here records what it is asked; the real player's pixels are checked by the
// show mode tests.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "present_thread.h"

using namespace handset_sdk;

namespace {

struct Record {
    std::mutex mutex;
    std::vector<std::thread::id> threads;  // of Init, every Draw and UnInit
    std::vector<int64_t> drawn;            // frame indices
    std::vector<int> modes;
    bool released = false;
};

class RecordingPlayer : public video_player::IVideoPlayInterface {
public:
    explicit RecordingPlayer(std::shared_ptr<Record> record) : m_record(std::move(record)) {}
    int Init(int, video_player::NativeWindow, int, int) override {
        Note();
        return 0;
    }
    // Odd rectangles' left edges stand for a window that cannot be seen.
    int Draw(const codec_interface::CVideoDecodeOutParam& picture, const video_player::DisplayRect& rect,
             int mode) override {
        Note();
        std::lock_guard<std::mutex> lock(m_record->mutex);
        m_record->drawn.push_back(picture.frameIndex);
        m_record->modes.push_back(mode);
        return rect.left % 2 == 0 ? 0 : 1;
    }
    void UnInit() override {
        Note();
        std::lock_guard<std::mutex> lock(m_record->mutex);
        m_record->released = true;
    }

private:
    void Note() {
        std::lock_guard<std::mutex> lock(m_record->mutex);
        m_record->threads.push_back(std::this_thread::get_id());
    }
    std::shared_ptr<Record> m_record;
};

CPresentThread::PlayerMaker Maker(const std::shared_ptr<Record>& record) {
    return [record]() -> std::shared_ptr<video_player::IVideoPlayInterface> {
        auto player = std::make_shared<RecordingPlayer>(record);
        player->Init(0, 0, 0, 0);
        return player;
    };
}

PresentJob Job(int64_t index, int left = 0, int mode = 0) {
    PresentJob job;
    job.picture.frameIndex = index;
    job.rect = RECT{left, 0, left + 10, 10};
    job.mode = mode;
    return job;
}

}  // namespace

TEST(PresentThread, DrawsEveryPictureInOrderOnOneThreadOfItsOwn) {
    auto record = std::make_shared<Record>();
    std::atomic<int> shown{0};
    std::atomic<bool> negative{false};
    CPresentThread present;
    ASSERT_TRUE(present.Start(Maker(record), [&](int64_t micros) {
        if (micros < 0) negative = true;
        shown.fetch_add(1);
    }));
    EXPECT_TRUE(present.Start(Maker(record), nullptr)) << "a running thread stays as it is";
    constexpr int kPictures = 200;
    for (int i = 1; i <= kPictures; ++i) {
        // Every tenth picture meets a window that cannot be seen: drawn nowhere, not counted as shown.
        ASSERT_TRUE(present.Submit(Job(i, i % 10 == 0 ? 1 : 0, i % 4)));
    }
    present.Drain();
    EXPECT_EQ(shown.load(), kPictures - kPictures / 10);
    {
        std::lock_guard<std::mutex> lock(record->mutex);
        ASSERT_EQ(record->drawn.size(), static_cast<size_t>(kPictures));
        for (int i = 0; i < kPictures; ++i) {
            EXPECT_EQ(record->drawn[i], i + 1);
            EXPECT_EQ(record->modes[i], (i + 1) % 4);
        }
    }
    EXPECT_FALSE(negative.load()) << "drawing times are durations";

    present.Stop();
    EXPECT_FALSE(present.Submit(Job(kPictures + 1))) << "nothing is taken after the stop";
    std::lock_guard<std::mutex> lock(record->mutex);
    EXPECT_TRUE(record->released);
    ASSERT_EQ(record->threads.size(), static_cast<size_t>(kPictures + 2));
    for (const auto& id : record->threads) EXPECT_EQ(id, record->threads.front());
    EXPECT_NE(record->threads.front(), std::this_thread::get_id());
}

TEST(PresentThread, PlayerThatCannotBeMadeRefusesPicturesUntilALaterStartWorks) {
    CPresentThread present;
    EXPECT_FALSE(present.Start([] { return nullptr; }, nullptr));
    EXPECT_FALSE(present.Submit(Job(1)));
    present.Drain();  // returns at once: nothing runs

    auto record = std::make_shared<Record>();
    ASSERT_TRUE(present.Start(Maker(record), nullptr));
    ASSERT_TRUE(present.Submit(Job(7)));
    present.Drain();
    std::lock_guard<std::mutex> lock(record->mutex);
    EXPECT_EQ(record->drawn, std::vector<int64_t>{7});
}

TEST(PresentThread, StopsWhileAnotherThreadKeepsHandingOver) {
    auto record = std::make_shared<Record>();
    CPresentThread present;
    ASSERT_TRUE(present.Start(Maker(record), nullptr));
    std::atomic<bool> refused{false};
    std::thread decoder([&] {
        for (int64_t i = 1; !refused.load(); ++i) {
            if (!present.Submit(Job(i))) refused = true;
        }
    });
    // Wait until pictures flow, then stop under the submitting thread.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool flowing = false;
    while (!flowing && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
        std::lock_guard<std::mutex> lock(record->mutex);
        flowing = record->drawn.size() >= 20;
    }
    present.Stop();
    EXPECT_TRUE(flowing) << "the pictures never flowed";
    decoder.join();
    EXPECT_TRUE(refused.load());
    std::lock_guard<std::mutex> lock(record->mutex);
    EXPECT_TRUE(record->released);
    for (size_t i = 0; i < record->drawn.size(); ++i) EXPECT_EQ(record->drawn[i], static_cast<int64_t>(i + 1));
}
