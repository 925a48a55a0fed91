// Toasts, the key-transparent combo box and the text-only line edit.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>

#include "log_capture.h"
#include "wait.h"
#include "widgets/custom_combo_box.h"
#include "widgets/toast_animation.h"
#include "widgets/transparent_line_eidt.h"

namespace {

TEST(ToastTest, TwoToastsFadeIndependentlyAndEachGoesAboutThreeSecondsAfterShowing) {
    apptest::LogCapture log;
    QElapsedTimer clock;
    clock.start();
    QPointer<app::ToastAnimation> first = app::ToastAnimation::showTip(QStringLiteral("first"));
    qint64 firstGone = -1, secondGone = -1;
    QObject::connect(first, &QObject::destroyed, [&] { firstGone = clock.elapsed(); });
    apptest::Pump(500);
    const qint64 secondShown = clock.elapsed();
    QPointer<app::ToastAnimation> second = app::ToastAnimation::showTip(QStringLiteral("second"));
    QObject::connect(second, &QObject::destroyed, [&] { secondGone = clock.elapsed(); });
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->isVisible() && second->isVisible());
    EXPECT_EQ(second->Label()->text(), "second");
    EXPECT_TRUE(log.Contains("showTip======text=== first"));

    ASSERT_TRUE(apptest::WaitUntil([&] { return !first && !second; }, 10000));
    EXPECT_GE(firstGone, 2900);
    EXPECT_LE(firstGone, 5000);
    EXPECT_GE(secondGone - secondShown, 2900);
    EXPECT_LE(secondGone - secondShown, 5000);
    EXPECT_GT(secondGone, firstGone);
    EXPECT_TRUE(log.Contains("~ToastAnimation============line=="));
}

TEST(ToastTest, WithoutParentItSitsCentredAtSixtyPercentOfTheScreen) {
    QPointer<app::ToastAnimation> toast = app::ToastAnimation::showTip(QStringLiteral("placed"));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(toast->y(), screen.y() + screen.height() * 6 / 10);
    EXPECT_NEAR(toast->x() + toast->width() / 2, screen.center().x(), 1);
    EXPECT_TRUE(toast->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(toast->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(toast->size(), toast->Label()->size());
    delete toast.data();
}

TEST(ToastTest, WithParentItIsCentredOverIt) {
    QWidget parent;
    parent.setGeometry(100, 100, 600, 400);
    parent.show();
    QPointer<app::ToastAnimation> toast = app::ToastAnimation::showTip(QStringLiteral("over parent"), &parent);
    const QRect area(parent.mapToGlobal(QPoint(0, 0)), parent.size());
    EXPECT_NEAR(toast->mapToGlobal(QPoint(0, 0)).x() + toast->width() / 2, area.center().x(), 1);
    EXPECT_NEAR(toast->mapToGlobal(QPoint(0, 0)).y() + toast->height() / 2, area.center().y(), 1);
}

class KeyRecorder : public QWidget {
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys.append(event->key()); }
};

TEST(CustomComboBoxTest, KeyPressesReachTheParent) {
    KeyRecorder parent;
    auto* combo = new app::CustomComboBox(&parent);
    combo->addItems({"HD", "SD", "Smooth"});
    combo->setCurrentIndex(0);
    for (int key : {Qt::Key_Down, Qt::Key_W, Qt::Key_Space}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(combo, &press);
    }
    EXPECT_EQ(parent.keys, (QList<int>{Qt::Key_Down, Qt::Key_W, Qt::Key_Space}));
    EXPECT_EQ(combo->currentIndex(), 0);  // the box itself did not react
    EXPECT_EQ(combo->objectName(), "CustomComboBox");
}

int PaintedPixels(const QImage& image) {
    int painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) painted += qAlpha(image.pixel(x, y)) != 0;
    return painted;
}

TEST(TransparentLineEditTest, PaintsOnlyItsText) {
    app::TransparentLineEidt edit;
    edit.resize(200, 30);
    QImage image(edit.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    edit.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(PaintedPixels(image), 0);  // no frame, background or cursor

    edit.setText(QStringLiteral("W"));
    image.fill(Qt::transparent);
    edit.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const int painted = PaintedPixels(image);
    EXPECT_GT(painted, 0);
    EXPECT_LT(painted, 200 * 30 / 10);
}

}  // namespace
