// The statistics overlay of a "Lumet" device window against the local cloud:
// off by default, toggled by its title-bar button and by Ctrl+Shift+S (which
// the phone never gets), remembered, placed over the picture only, showing
// the cloud's frame rate, a delay scripted on the cloud's delay echoes and a
// scripted drop, and letting clicks through to the picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTest>
#include <QWindow>

#include <chrono>
#include <deque>
#include <mutex>

#include "device/lumet_channel_object.h"
#include "device/stats_overlay_control.h"
#include "device/stats_text.h"
#include "device/yun_device_label.h"
#include "device_cloud_fixture.h"
#include "x_click.h"

namespace {

using Clock = std::chrono::steady_clock;

class StatsOverlayTest : public apptest::DeviceCloudTest {
protected:
    void SetUp() override {
        app::StatsOverlayControl::Remember(false);
        DeviceCloudTest::SetUp();
    }
    // Notes when the cloud sends each picture, for its frame rate.
    void ConfigureCloud(cloudsim::CloudOptions& options) override {
        options.onVideoSent = [this](const std::string&, const std::vector<uint8_t>&) {
            std::lock_guard<std::mutex> lock(sentMutex);
            sent.push_back(Clock::now());
            while (sent.size() > 1000) sent.pop_front();
        };
    }
    // Pictures per second the cloud sent over the last three seconds.
    double CloudFps() {
        std::lock_guard<std::mutex> lock(sentMutex);
        const Clock::time_point from = Clock::now() - std::chrono::seconds(3);
        int n = 0;
        for (const Clock::time_point& t : sent) n += t >= from;
        return n / 3.0;
    }

    QJsonObject Request(const QString& winId) {
        return apptest::Obj({{"winId", winId}, {"userId", "demo-user"}, {"deviceId", kInstance},
                             {"channelAppId", "demo-access-key"}, {"channelSecret", "demo-secret-key"},
                             {"channel", "Lumet"}, {"quality", 1}, {"orientation", 0}});
    }
    app::KovraYunBaseView* OpenPlaying(const QString& winId) {
        app::KovraYunBaseView* view = Open(Request(winId));
        if (view == nullptr) return nullptr;
        auto* lumet = dynamic_cast<app::LumetChannelObject*>(view->Channel().get());
        if (!lumet || !apptest::WaitUntil([&] { return lumet->Shown(); }, 20000)) return nullptr;
        return view;
    }
    static QString Text(app::KovraYunBaseView* view) { return view->Stats()->Overlay()->Lines().join('\n'); }
    // The first number after label in the overlay, or -1.
    static double Figure(app::KovraYunBaseView* view, const QString& label) {
        const QRegularExpression re(QRegularExpression::escape(label) + QStringLiteral(" (-?[0-9.]+)"));
        const QRegularExpressionMatch m = re.match(Text(view));
        return m.hasMatch() ? m.captured(1).toDouble() : -1;
    }
    static void Chord(QWidget* view, bool press, Qt::Key key, Qt::KeyboardModifiers mods, const QString& text = {}) {
        QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, mods, text);
        QApplication::sendEvent(view, &event);
    }
    static void PressCtrlShiftS(QWidget* view) {
        Chord(view, true, Qt::Key_Control, Qt::ControlModifier);
        Chord(view, true, Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
        Chord(view, true, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, "\x13");
        Chord(view, false, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, "\x13");
        Chord(view, false, Qt::Key_Shift, Qt::ControlModifier);
        Chord(view, false, Qt::Key_Control, Qt::NoModifier);
    }

    // Share of the overlay's screen area in its background colour.
    static double OverlayShare(QWidget* overlay) {
        const QPoint at = overlay->mapToGlobal(QPoint(0, 0));
        const QImage image = QGuiApplication::primaryScreen()
                                 ->grabWindow(0, at.x(), at.y(), overlay->width(), overlay->height())
                                 .toImage();
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) dark += image.pixel(x, y) == qRgb(16, 16, 16);
        return image.isNull() ? 0 : double(dark) / (image.width() * image.height());
    }

    std::mutex sentMutex;
    std::deque<Clock::time_point> sent;
};

TEST(StatsText, LeavesOutWhatTheBackEndDoesNotHave) {
    app::StreamStats s;
    EXPECT_TRUE(app::StatsLines(s).isEmpty());
    s.codec = "H.264";
    s.width = 720;
    s.height = 1280;
    s.hardwareDecode = 0;
    s.decoderNote = "no hardware decoder on this machine";
    s.receivedFps = 30;
    s.decodedFps = 29.5;
    s.delayLastMs = 52;
    s.delayAverageMs = 51;
    s.delayWorstMs = 60;
    s.reconnects = 2;
    s.lastErrorCode = 60701002;
    s.lastErrorText = "websocket disconnected";
    s.followersControlled = 4;
    s.followersPaused = 1;
    s.followersRefused = 0;
    s.nodesConnected = 2;
    s.nodesTotal = 2;
    EXPECT_EQ(app::StatsLines(s), QStringList({"stream 720x1280 H.264",
                                               "decoder software (no hardware decoder on this machine)",
                                               "fps in 30.0  decoded 29.5  shown -",
                                               "network delay 52 ms (avg 51, worst 60 in 10 s)",
                                               "reconnects 2",
                                               "last error 60701002 websocket disconnected",
                                               "group 4 controlled, 1 paused, 0 refused",
                                               "nodes 2/2 connected"}));
}

TEST_F(StatsOverlayTest, ToggledByButtonAndShortcutRememberedAndNeverSentToThePhone) {
    app::KovraYunBaseView* view = OpenPlaying("stats-1");
    ASSERT_NE(view, nullptr);
    app::StatsOverlayControl* stats = view->Stats();
    EXPECT_FALSE(stats->Shown()) << "off by default";
    EXPECT_FALSE(stats->Overlay()->isVisible());

    QTest::mouseClick(stats->Button(), Qt::LeftButton);
    ASSERT_TRUE(stats->Overlay()->isVisible());
    EXPECT_TRUE(app::StatsOverlayControl::Remembered());
    EXPECT_TRUE(apptest::WaitUntil([&] { return Figure(view, "fps in") > 0; }, 10000)) << Text(view).toStdString();
    EXPECT_TRUE(Text(view).contains("stream 720x1280 H.264")) << Text(view).toStdString();

    // Over the picture only, taking neither focus nor mouse.
    QWidget* label = view->Ui().yunViewLabel;
    app::StatsOverlay* overlay = stats->Overlay();
    EXPECT_TRUE(label->geometry().contains(overlay->geometry())) << "covers the title bar or the side bar";
    EXPECT_GE(overlay->geometry().top(), view->Ui().titlebar->geometry().bottom());
    EXPECT_EQ(overlay->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(overlay->testAttribute(Qt::WA_TransparentForMouseEvents));
    ASSERT_NE(overlay->windowHandle(), nullptr) << "the picture is native; the overlay must be too to stay above it";
    EXPECT_TRUE(overlay->windowHandle()->flags() & Qt::WindowTransparentForInput);

    // Ctrl+Shift+S hides it; none of its keys reaches the phone, a key after it does.
    cloud->ClearRecords();
    PressCtrlShiftS(view);
    EXPECT_FALSE(stats->Overlay()->isVisible());
    EXPECT_FALSE(app::StatsOverlayControl::Remembered());
    Chord(view, false, Qt::Key_A, Qt::NoModifier, "a");
    ASSERT_TRUE(WaitReceived("key", [](const Json::Value& f) { return f["key"].asInt() == 30; }));
    for (const cloudsim::ReceivedMessage& m : cloud->Received(kInstance)) {
        if (m.kind == "key") EXPECT_EQ(m.fields["key"].asInt(), 30) << "a key of the shortcut reached the phone";
    }

    // Shown again by the shortcut, a new window opens with it.
    PressCtrlShiftS(view);
    EXPECT_TRUE(stats->Overlay()->isVisible());
    EXPECT_TRUE(app::StatsOverlayControl::Remembered());
    app::KovraYunBaseView* second = Open(Request("stats-2"));
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->Stats()->Shown());
    EXPECT_TRUE(apptest::WaitUntil([&] { return second->Stats()->Overlay()->isVisible(); }));
}

TEST_F(StatsOverlayTest, ReadsTheCloudsFrameRateAndAScriptedEchoDelay) {
    cloudsim::FaultScript faults;
    faults.probeDelayMs = 50;
    faults.streamConnections = -1;
    cloud->SetFaults(kInstance, faults);
    app::StatsOverlayControl::Remember(true);
    app::KovraYunBaseView* view = OpenPlaying("stats-3");
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->Stats()->Shown());
    // Loopback adds next to nothing: the delay read is the one scripted.
    EXPECT_TRUE(apptest::WaitUntil([&] {
        const double delay = Figure(view, "network delay");
        return delay >= 50 && delay <= 60;
    }, 20000)) << Text(view).toStdString();
    double cloudFps = 0;
    EXPECT_TRUE(apptest::WaitUntil([&] {
        cloudFps = CloudFps();
        const double fps = Figure(view, "fps in");
        return cloudFps > 0 && fps >= cloudFps * 0.9 && fps <= cloudFps * 1.1;
    }, 20000)) << "cloud " << cloudFps << ": " << Text(view).toStdString();
}

TEST_F(StatsOverlayTest, AScriptedDropRaisesTheReconnectCount) {
    cloudsim::FaultScript faults;
    faults.dropAfterPackages = 40;
    cloud->SetFaults(kInstance, faults);
    app::StatsOverlayControl::Remember(true);
    app::KovraYunBaseView* view = OpenPlaying("stats-4");
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(apptest::WaitUntil([&] { return Figure(view, "reconnects") >= 1; }, 20000))
        << Text(view).toStdString();
    EXPECT_TRUE(Text(view).contains("last error 60701002")) << Text(view).toStdString();
}

TEST_F(StatsOverlayTest, AClickOnThePictureGoesThroughTheOverlay) {
    app::StatsOverlayControl::Remember(true);
    app::KovraYunBaseView* view = OpenPlaying("stats-5");
    ASSERT_NE(view, nullptr);
    app::StatsOverlay* overlay = view->Stats()->Overlay();
    ASSERT_TRUE(apptest::WaitUntil([&] { return overlay->isVisible() && overlay->height() > 40; }));
    view->raise();
    view->activateWindow();
    QWidget* label = view->Ui().yunViewLabel;
    // A point inside the overlay, in the picture's coordinates.
    const QPoint inPicture = label->mapFrom(view, overlay->geometry().topLeft() + QPoint(24, 30));
    ASSERT_TRUE(overlay->geometry().contains(label->mapTo(view, inPicture)));
    // The overlay is on screen, above the picture's native window.
    EXPECT_TRUE(apptest::WaitUntil([&] { return OverlayShare(overlay) > 0.5; }, 5000))
        << "the overlay is hidden under the picture";
    cloud->ClearRecords();
    ASSERT_TRUE(apptest::ClickAtScreen(label->mapToGlobal(inPicture))) << "xdotool failed";
    // The picture is 432 x 768 for the phone's 720 x 1280.
    const int wantX = inPicture.x() * 720 / label->width();
    const int wantY = inPicture.y() * 1280 / label->height();
    EXPECT_TRUE(WaitReceived("touch", [&](const Json::Value& f) {
        return f["action"].asInt() == 0 && std::abs(f["points"][0][0].asInt() - wantX) <= 2 &&
               std::abs(f["points"][0][1].asInt() - wantY) <= 2;
    })) << "no touch at " << wantX << "," << wantY;
    EXPECT_FALSE(overlay->hasFocus());
}

}  // namespace
