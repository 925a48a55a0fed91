// The key-mapping editor over a device view: markers, duplicate keys,
// drops outside the picture, the scheme list, and applying a saved scheme.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTest>

#include "device/kovra_yun_base_view.h"
#include "keymap/base_key_setting_dialog.h"
#include "keymap/base_select_key_scheme.h"
#include "keymap/key_scheme_store.h"
#include "keymap/key_set_view.h"
#include "keymap/wheel_view.h"
#include "recording_channel.h"
#include "wait.h"
#include "widgets/toast_animation.h"

namespace {

using apptest::RecordingChannel;

class KeyEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings("keySettings", "key").clear();
        channel = std::make_shared<RecordingChannel>();
        view = new app::KovraYunBaseView("win-1");
        view->setChannel(channel);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
        QTest::mousePress(view->Ui().keyButton, Qt::LeftButton);
        editor = view->KeyEditor();
        ASSERT_TRUE(editor && editor->isVisible());
        channel->calls.clear();
    }
    void TearDown() override {
        delete view.data();
        QSettings("keySettings", "key").clear();
    }

    // A key marker dropped with its centre at (x, y) of the reference picture.
    app::KeySetView* Place(int x, int y, const QString& key) {
        app::KeySetView* marker = editor->AddKeyMarker();
        marker->SetCenter(QPoint(x, y + 40));
        QTest::mouseRelease(marker, Qt::LeftButton, Qt::NoModifier, QPoint(marker->width() / 2, marker->height() / 2));
        marker->Edit()->setText(key);
        return marker;
    }
    bool ToastShown(const QString& text) {
        for (auto* toast : editor->findChildren<app::ToastAnimation*>()) {
            if (toast->Label()->text() == text) return true;
        }
        return false;
    }

    std::shared_ptr<RecordingChannel> channel;
    QPointer<app::KovraYunBaseView> view;
    QPointer<app::BaseKeySettingDialog> editor;
};

TEST_F(KeyEditorTest, OpensOverThePictureWithThePanelBeside) {
    EXPECT_EQ(editor->size(), QSize(432 + 400, 808));
    EXPECT_EQ(editor->pos(), view->mapToGlobal(QPoint(0, 0)));
    EXPECT_EQ(editor->Ui().left_base->width(), 432);
    EXPECT_EQ(editor->Ui().keySetBtn->text(), "普通点击");
    EXPECT_EQ(editor->Ui().wheelBtn->text(), "键盘行走");
    EXPECT_FALSE(editor->Wheel()->isVisible());
}

TEST_F(KeyEditorTest, TwoMarkersCannotHoldOneKeyUntilTheFirstLetsGo) {
    app::KeySetView* first = Place(100, 100, "j");
    app::KeySetView* second = Place(200, 200, "j");
    EXPECT_EQ(first->Key(), "j");
    EXPECT_TRUE(second->Key().isEmpty());
    EXPECT_TRUE(ToastShown("按键不能重复！"));
    first->Edit()->clear();
    second->Edit()->setText("j");
    EXPECT_EQ(second->Key(), "j");
    EXPECT_TRUE(editor->Usage().InUse("j"));
    first->Edit()->setFocus();
    QTest::keyClicks(first->Edit(), "J1");  // the validator keeps upper case out, one key only
    EXPECT_EQ(first->Key(), "1");
}

TEST_F(KeyEditorTest, AMarkerDroppedOutsideThePictureIsRemoved) {
    app::KeySetView* marker = editor->AddKeyMarker();  // sits on its tool button in the panel
    QPointer<app::KeySetView> guard(marker);
    QTest::mouseRelease(marker, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_TRUE(ToastShown("请放置在窗口内！"));
    EXPECT_TRUE(editor->KeyMarkers().isEmpty());
    EXPECT_TRUE(guard.isNull() || guard->isHidden());
    Place(50, 60, "q");
    EXPECT_EQ(editor->KeyMarkers().size(), 1);
}

TEST_F(KeyEditorTest, SavedSchemeTapsMappedKeysAndTheWalkingPad) {
    Place(100, 150, "j");
    editor->ShowWheel();
    app::WheelView* wheel = editor->Wheel();
    wheel->SetCenter(QPoint(200, 500 + 40));
    QTest::mouseRelease(wheel, Qt::LeftButton, Qt::NoModifier, QPoint(wheel->width() / 2, wheel->height() / 2));
    ASSERT_TRUE(wheel->isVisible());
    EXPECT_EQ(wheel->UpEdit()->text(), "w");
    QTest::mouseClick(editor->Ui().saveBtn, Qt::LeftButton);
    EXPECT_FALSE(editor->isVisible());
    ASSERT_TRUE(view->KeyMappingEnabled());

    const app::KeySetData stored = app::KeySchemeStore().Read(0);
    ASSERT_EQ(stored.keys.size(), 1);
    EXPECT_EQ(stored.keys[0].x, 100);
    EXPECT_EQ(stored.keys[0].y, 150);
    EXPECT_TRUE(stored.wheel.shown);
    EXPECT_EQ(stored.wheel.x, 200);
    EXPECT_EQ(stored.wheel.y, 500);

    channel->calls.clear();
    QKeyEvent j(QEvent::KeyRelease, Qt::Key_J, Qt::NoModifier, "j");
    QApplication::sendEvent(view, &j);
    EXPECT_EQ(channel->calls, QStringList({"touch 0 100 150", "touch 1 100 150", "key 74"}));
    channel->calls.clear();
    QKeyEvent d(QEvent::KeyRelease, Qt::Key_D, Qt::NoModifier, "d");
    QApplication::sendEvent(view, &d);
    const int dx = 200 + wheel->width() / 4;
    EXPECT_EQ(channel->Calls("touch"), QStringList({QString("touch 0 %1 500").arg(dx), QString("touch 1 %1 500").arg(dx)}));
    // While the phone takes text, keys are not mapped.
    channel->calls.clear();
    channel->inputActive = true;
    QApplication::sendEvent(view, &j);
    EXPECT_EQ(channel->calls, QStringList({"key 74"}));
}

TEST_F(KeyEditorTest, ReopeningShowsTheSavedSchemeAndClosingSwitchesMappingOff) {
    Place(120, 130, "k");
    QTest::mouseClick(editor->Ui().saveBtn, Qt::LeftButton);
    ASSERT_TRUE(view->KeyMappingEnabled());
    QTest::mousePress(view->Ui().keyButton, Qt::LeftButton);
    ASSERT_EQ(editor->KeyMarkers().size(), 1);
    EXPECT_EQ(editor->KeyMarkers()[0]->Key(), "k");
    EXPECT_EQ(editor->KeyMarkers()[0]->Center(), QPoint(120, 170));
    QTest::mouseClick(editor->Ui().closeBtn, Qt::LeftButton);
    EXPECT_FALSE(view->KeyMappingEnabled());
    channel->calls.clear();
    QKeyEvent k(QEvent::KeyRelease, Qt::Key_K, Qt::NoModifier, "k");
    QApplication::sendEvent(view, &k);
    EXPECT_EQ(channel->calls, QStringList({"key 75"}));
}

TEST_F(KeyEditorTest, RestoreEmptiesTheCurrentScheme) {
    Place(120, 130, "k");
    QTest::mouseClick(editor->Ui().saveBtn, Qt::LeftButton);
    QTest::mousePress(view->Ui().keyButton, Qt::LeftButton);
    QTest::mouseClick(editor->Ui().restoreBtn, Qt::LeftButton);
    EXPECT_TRUE(editor->KeyMarkers().isEmpty());
    EXPECT_TRUE(app::KeySchemeStore().Read(0).keys.isEmpty());
}

TEST_F(KeyEditorTest, SchemeListAddsRenamesSelectsAndRemoves) {
    editor->ToggleSchemeList();
    app::BaseSelectKeyScheme* list = editor->SchemeList();
    ASSERT_TRUE(list && list->isVisible());
    for (int i = 0; i < 3; ++i) list->AddScheme();
    ASSERT_EQ(list->Rows().size(), 3);
    EXPECT_EQ(list->Rows()[2]->NameEdit()->text(), "方案3");
    EXPECT_EQ(editor->CurrentIndex(), 2);
    EXPECT_TRUE(list->Rows()[2]->Radio()->isChecked());

    list->Rows()[0]->NameEdit()->setText("first");
    QTest::mouseClick(list->Rows()[0]->RenameButton(), Qt::LeftButton);
    EXPECT_EQ(app::KeySchemeStore().Read(0).schemeName, "first");
    QTest::mouseClick(list->Rows()[0]->Radio(), Qt::LeftButton);
    EXPECT_EQ(editor->CurrentIndex(), 0);
    EXPECT_EQ(editor->Ui().schemeNameLabel->text(), "first");

    QTest::mouseClick(list->Rows()[1]->DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(app::KeySchemeStore().SchemeKeys(), QStringList({"0", "1"}));
    EXPECT_EQ(app::KeySchemeStore().Read(1).schemeName, "方案3");
    EXPECT_EQ(app::KeySchemeStore().Read(1).index, 1);
    EXPECT_TRUE(apptest::WaitUntil([&] { return list->Rows().size() == 2; }, 2000));
    editor->ToggleSchemeList();
    EXPECT_FALSE(list->isVisible());
}

}  // namespace
