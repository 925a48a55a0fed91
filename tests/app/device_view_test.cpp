// The device view on a real X server: size rules, toolbar, keyboard, paste,
// the text field, mouse and closing, against a recording back end.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>
#include <QWindow>

#include "device/kovra_yun_base_view.h"
#include "device/yun_device_label.h"
#include "recording_channel.h"
#include "wait.h"

namespace {

using apptest::RecordingChannel;

class DeviceViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        channel = std::make_shared<RecordingChannel>();
        view = new app::KovraYunBaseView("win-1");
        view->setAttribute(Qt::WA_DeleteOnClose, false);
        view->setChannel(channel);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
        channel->calls.clear();
    }
    void TearDown() override { delete view.data(); }

    QWindow* Window() { return view->windowHandle(); }
    void Release(Qt::Key key, const QString& text = QString(), Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent e(QEvent::KeyRelease, key, mods, text);
        QApplication::sendEvent(view, &e);
    }
    void Press(Qt::Key key, const QString& text = QString(), Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent e(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(view, &e);
    }

    std::shared_ptr<RecordingChannel> channel;
    QPointer<app::KovraYunBaseView> view;
};

TEST_F(DeviceViewTest, BuildsTheDesignedWindow) {
    EXPECT_EQ(view->objectName(), "KovraYunBaseView");
    EXPECT_TRUE(view->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(view->size(), QSize(472, 808));
    EXPECT_EQ(view->windowTitle(), "云手机窗口");
    EXPECT_EQ(view->Ui().deviceIdLabel->text(), "我的设备（id:win-1）");
    EXPECT_FALSE(view->Ui().stopMutiBUtton->isVisible());
    const QStringList items = {"高清", "标清", "普通"};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(view->Ui().comboBox->itemText(i), items[i]);
    for (const char* name : {"titlebar", "label_2", "yunViewLabel", "leftBar", "volumnAddButton", "keyButton",
                             "channelLineEdit", "backButton", "homeButton", "menuButton", "topupButton"}) {
        EXPECT_NE(view->findChild<QWidget*>(name), nullptr) << name;
    }
    EXPECT_EQ(view->Ui().yunViewLabel->size(), QSize(432, 768));
    EXPECT_FALSE(view->Ui().topupButton->icon().isNull());
}

TEST_F(DeviceViewTest, ResizeKeepsThePhoneAspectAndMinimumSizes) {
    view->SetResizeEdge(app::ResizeEdge::LeftRight);
    view->resize(400, 808);
    EXPECT_EQ(view->size(), QSize(400, 680));
    view->SetResizeEdge(app::ResizeEdge::TopBottom);
    view->resize(400, 600);
    EXPECT_EQ(view->size(), QSize((600 - 40) * 720 / 1280 + 40, 600));
    EXPECT_EQ(channel->resized.last(), view->size());
    EXPECT_EQ(view->minimumSize(), QSize(256, 424));
    // Narrow windows hide the id.
    view->SetResizeEdge(app::ResizeEdge::None);
    view->resize(380, 300);
    EXPECT_EQ(view->size(), QSize(380, 424));
    EXPECT_FALSE(view->Ui().deviceIdLabel->isVisible());
    view->resize(400, 424);
    EXPECT_TRUE(view->Ui().deviceIdLabel->isVisible());
}

// Only a landscape window can be low enough to hide the button captions.
TEST_F(DeviceViewTest, LowLandscapeWindowsHideTheCaptions) {
    QTest::mousePress(view->Ui().rotateButton, Qt::LeftButton);
    view->SetResizeEdge(app::ResizeEdge::None);
    view->resize(600, 320);
    ASSERT_EQ(view->size(), QSize(600, 320));
    for (QLabel* caption : view->Ui().captions) EXPECT_FALSE(caption->isVisible()) << caption->text().toStdString();
    view->resize(600, 321);
    ASSERT_EQ(view->size(), QSize(600, 321));
    for (QLabel* caption : view->Ui().captions) EXPECT_TRUE(caption->isVisible()) << caption->text().toStdString();
}

TEST_F(DeviceViewTest, RotatingTwiceRestoresSizeAndOrientation) {
    view->SetResizeEdge(app::ResizeEdge::LeftRight);
    view->resize(400, 680);
    QTest::mousePress(view->Ui().rotateButton, Qt::LeftButton);
    EXPECT_TRUE(channel->landscape);
    EXPECT_EQ(view->size(), QSize(680, 400));
    EXPECT_EQ(view->minimumSize(), QSize(424, 256));
    QTest::mousePress(view->Ui().rotateButton, Qt::LeftButton);
    EXPECT_FALSE(channel->landscape);
    EXPECT_EQ(view->size(), QSize(400, 680));
}

TEST_F(DeviceViewTest, ToolbarReachesTheBackEnd) {
    QTest::mousePress(view->Ui().volumnAddButton, Qt::LeftButton);
    QTest::mousePress(view->Ui().volumnReduceButton, Qt::LeftButton);
    QTest::mousePress(view->Ui().backButton, Qt::LeftButton);
    QTest::mousePress(view->Ui().homeButton, Qt::LeftButton);
    QTest::mousePress(view->Ui().menuButton, Qt::LeftButton);
    view->Ui().comboBox->setCurrentIndex(2);
    view->Ui().comboBox->setCurrentIndex(1);
    view->Ui().comboBox->setCurrentIndex(0);
    EXPECT_EQ(channel->calls, QStringList({"volume up", "volume down", "control 1", "control 0", "control 2",
                                           "quality 3", "quality 2", "quality 1"}));
    QTest::mousePress(view->Ui().topupButton, Qt::LeftButton);
    EXPECT_TRUE(view->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QTest::mousePress(view->Ui().topupButton, Qt::LeftButton);
    EXPECT_FALSE(view->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(DeviceViewTest, KeysGoOutOnReleaseThroughTheKeyTable) {
    Press(Qt::Key_A, "a");
    EXPECT_TRUE(channel->Calls("key").isEmpty());
    Release(Qt::Key_A, "a");
    Release(Qt::Key_Return);
    Release(Qt::Key_F24);
    Release(Qt::Key_QuoteDbl, "\"");
    Release(Qt::Key_Exclam, "!");
    Release(Qt::Key_Meta);  // not in the table
    EXPECT_EQ(channel->Calls("key"), QStringList({"key 65", "key 13", "key 135", "key 222", "key 49", "key 0"}));
}

TEST_F(DeviceViewTest, CtrlVPastesTheClipboardAndNothingWhenEmpty) {
    QApplication::clipboard()->setText("粘贴 text");
    Press(Qt::Key_Control, "", Qt::ControlModifier);
    Press(Qt::Key_V, "\x16", Qt::ControlModifier);
    Release(Qt::Key_V, "\x16", Qt::ControlModifier);
    Release(Qt::Key_Control);
    EXPECT_EQ(channel->Calls("text"), QStringList({"text 粘贴 text"}));
    EXPECT_EQ(channel->Calls("key"), QStringList({"key 17"}));  // the V went as paste

    channel->calls.clear();
    QApplication::clipboard()->clear();
    Press(Qt::Key_Control, "", Qt::ControlModifier);
    Press(Qt::Key_V, "\x16", Qt::ControlModifier);
    Release(Qt::Key_V, "\x16", Qt::ControlModifier);
    Release(Qt::Key_Control);
    EXPECT_TRUE(channel->Calls("text").isEmpty());
    // A plain V afterwards is a key again.
    Release(Qt::Key_V, "v");
    EXPECT_EQ(channel->Calls("key"), QStringList({"key 17", "key 86"}));
}

TEST_F(DeviceViewTest, TextFieldSendsOnlyTextWithoutLatinLettersOrDigits) {
    QLineEdit* edit = view->Ui().channelLineEdit;
    edit->setText("中文");
    EXPECT_TRUE(edit->text().isEmpty());
    edit->setText("a");
    edit->setText("x中");
    EXPECT_EQ(channel->Calls("text"), QStringList({"text 中文"}));
}

TEST_F(DeviceViewTest, InputActiveFocusesTheTextFieldAndKeysStillGo) {
    channel->callback(true);
    EXPECT_TRUE(apptest::WaitUntil([&] { return view->focusWidget() == view->Ui().channelLineEdit; }, 3000));
    channel->inputActive = true;
    view->Ui().yunViewLabel->setFocus();
    Release(Qt::Key_B, "b");
    EXPECT_EQ(view->focusWidget(), view->Ui().channelLineEdit);
    EXPECT_EQ(channel->Calls("key"), QStringList({"key 66"}));
}

TEST_F(DeviceViewTest, NativeCharactersAndInputMethodTextAreForwarded) {
    QTest::keyClick(Window(), Qt::Key_A, Qt::NoModifier);
    EXPECT_EQ(channel->Calls("char"), QStringList({"char 97"}));
    QInputMethodEvent ime;
    ime.setCommitString("你好");
    QApplication::sendEvent(view->Ui().yunViewLabel, &ime);
    EXPECT_EQ(channel->Calls("ime"), QStringList({"ime 你好"}));
}

TEST_F(DeviceViewTest, MouseOnThePictureBecomesTouches) {
    QWidget* label = view->Ui().yunViewLabel;
    QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, QPoint(100, 200));
    QMouseEvent move(QEvent::MouseMove, QPoint(110, 210), label->mapToGlobal(QPoint(110, 210)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label, &move);
    QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, QPoint(120, 220));
    const QStringList touches = channel->Calls("touch");
    ASSERT_GE(touches.size(), 3);
    EXPECT_EQ(touches.first(), "touch 0 100 200");
    EXPECT_TRUE(touches.contains("touch 2 110 210"));
    EXPECT_EQ(touches.last(), "touch 1 120 220");
}

TEST_F(DeviceViewTest, ControlSpaceOnThePictureIsKeptFromThePhone) {
    view->Ui().yunViewLabel->setFocus();
    QTest::keyClick(Window(), Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(channel->Calls("char").isEmpty()) << channel->calls.join(", ").toStdString();
    EXPECT_FALSE(channel->calls.contains("key 32")) << channel->calls.join(", ").toStdString();
    // A plain Space still goes to the phone.
    QTest::keyClick(Window(), Qt::Key_Space);
    EXPECT_EQ(channel->Calls("char"), QStringList({"char 32"}));
    EXPECT_TRUE(channel->calls.contains("key 32"));
}

TEST_F(DeviceViewTest, DraggingTheTitleBarMovesTheWindow) {
    const QPoint before = view->pos();
    QWidget* title = view->Ui().titlebar;
    QTest::mousePress(title, Qt::LeftButton, Qt::NoModifier, QPoint(100, 20));
    QMouseEvent move(QEvent::MouseMove, QPoint(130, 45), title->mapToGlobal(QPoint(130, 45)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(title, &move);
    QTest::mouseRelease(title, Qt::LeftButton, Qt::NoModifier, QPoint(130, 45));
    EXPECT_TRUE(apptest::WaitUntil([&] { return view->pos() == before + QPoint(30, 25); }, 3000))
        << view->pos().x() << "," << view->pos().y();
}

}  // namespace
