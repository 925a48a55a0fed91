// The ready-made capture producer: delivery, detach while delivering from
// another thread, detach from inside a delivery, receivers that are gone.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "capture/capture_notify.h"

namespace {

using namespace capture;

class CountingReceiver : public ICaptureNotify {
public:
    void OnCaptureFrame(const CaptureFrame* frame) override {
        inside = true;
        if (frame && frame->type == CAPTURE_TYPE_PCM) ++frames;
        if (detachFrom) detachFrom->Detach(this);
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        inside = false;
    }
    std::atomic<int> frames{0};
    std::atomic<bool> inside{false};
    int pauseMs = 0;
    CCaptureProducer* detachFrom = nullptr;
};

TEST(CaptureProducer, DeliversToAttachedReceiversOnce) {
    CCaptureProducer producer(CAPTURE_TYPE_PCM);
    EXPECT_EQ(producer.GetCaptureType(), CAPTURE_TYPE_PCM);
    auto receiver = std::make_shared<CountingReceiver>();
    EXPECT_EQ(producer.Attach(std::weak_ptr<ICaptureNotify>()), -1);
    ASSERT_EQ(producer.Attach(receiver), 0);
    ASSERT_EQ(producer.Attach(receiver), 0);  // twice is once
    CaptureFrame frame;
    frame.type = CAPTURE_TYPE_PCM;
    EXPECT_EQ(producer.Deliver(frame), 1);
    EXPECT_EQ(receiver->frames, 1);
    producer.Detach(receiver.get());
    EXPECT_EQ(producer.Deliver(frame), 0);
    EXPECT_EQ(producer.AttachedCount(), 0);
}

TEST(CaptureProducer, ReceiverThatIsGoneGetsNothing) {
    CCaptureProducer producer(CAPTURE_TYPE_I420);
    auto receiver = std::make_shared<CountingReceiver>();
    producer.Attach(receiver);
    receiver.reset();
    CaptureFrame frame;
    EXPECT_EQ(producer.Deliver(frame), 0);
    EXPECT_EQ(producer.AttachedCount(), 0);
}

TEST(CaptureProducer, DetachWaitsForTheRunningDelivery) {
    CCaptureProducer producer(CAPTURE_TYPE_PCM);
    auto receiver = std::make_shared<CountingReceiver>();
    receiver->pauseMs = 50;
    producer.Attach(receiver);
    std::thread capture([&] {
        CaptureFrame frame;
        frame.type = CAPTURE_TYPE_PCM;
        producer.Deliver(frame);
    });
    while (!receiver->inside) std::this_thread::yield();
    producer.Detach(receiver.get());
    EXPECT_FALSE(receiver->inside);  // the delivery had ended
    capture.join();
}

TEST(CaptureProducer, DetachFromInsideADeliveryDoesNotDeadlock) {
    CCaptureProducer producer(CAPTURE_TYPE_PCM);
    auto first = std::make_shared<CountingReceiver>();
    auto second = std::make_shared<CountingReceiver>();
    first->detachFrom = &producer;
    producer.Attach(first);
    producer.Attach(second);
    CaptureFrame frame;
    frame.type = CAPTURE_TYPE_PCM;
    EXPECT_EQ(producer.Deliver(frame), 2);
    EXPECT_EQ(producer.Deliver(frame), 1);
    EXPECT_EQ(first->frames, 1);
    EXPECT_EQ(second->frames, 2);
}

TEST(CaptureTypes, CameraAndMicrophoneRanges) {
    EXPECT_TRUE(IsCameraType(CAPTURE_TYPE_I420));
    EXPECT_TRUE(IsCompressedCameraType(CAPTURE_TYPE_MJPEG));
    EXPECT_FALSE(IsCompressedCameraType(CAPTURE_TYPE_NV12));
    EXPECT_TRUE(IsMicrophoneType(CAPTURE_TYPE_PCM_1024));
    EXPECT_FALSE(IsMicrophoneType(CAPTURE_TYPE_H264));
}

}  // namespace
