#include "widgets/toast_animation.h"

#include <QDebug>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>

namespace app {

ToastAnimation::ToastAnimation(QWidget* parent)
    : QWidget(parent), m_layout(new QHBoxLayout(this)), m_label(new QLabel(this)) {
    setObjectName(QStringLiteral("ToastAnimation"));
    setWindowTitle(QStringLiteral("Form"));
    m_layout->setObjectName(QStringLiteral("horizontalLayout"));
    m_layout->setSpacing(0);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_label->setObjectName(QStringLiteral("label"));
    m_layout->addWidget(m_label);
}

ToastAnimation::~ToastAnimation() { qDebug() << "~ToastAnimation============line==" << __LINE__; }

ToastAnimation* ToastAnimation::showTip(const QString& text, QWidget* parent) {
    qDebug().noquote() << "showTip======text===" << text;
    auto* toast = new ToastAnimation(parent);  // deletes itself after fading out
    toast->setWindowFlags(toast->windowFlags() | Qt::FramelessWindowHint | Qt::Tool);
    toast->setWindowFlags(toast->windowFlags() | Qt::WindowStaysOnTopHint);
    toast->setAttribute(Qt::WA_TranslucentBackground);

    QLabel* label = toast->m_label;
    label->setStyleSheet(QStringLiteral("background-color:#000000; color:#ffffff;border-radius:4px"));
    label->setFont(QFont(QStringLiteral("Microsoft YaHei"), 14));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label->setText(text);
    label->adjustSize();
    label->resize(label->width() + 16, label->height() + 20);
    toast->resize(label->size());

    toast->Place(parent);
    toast->FadeIn();
    toast->show();
    QTimer::singleShot(2000, toast, [toast] { toast->FadeOut(); });
    return toast;
}

void ToastAnimation::Place(QWidget* parent) {
    if (parent) {
        const QRect area(parent->mapToGlobal(QPoint(0, 0)), parent->size());
        move(area.center() - QPoint(width() / 2, height() / 2));
        return;
    }
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + area.height() * 6 / 10);
    }
}

void ToastAnimation::FadeIn() {
    auto* animation = new QPropertyAnimation(this, "windowOpacity", this);
    animation->setDuration(1000);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void ToastAnimation::FadeOut() {
    auto* animation = new QPropertyAnimation(this, "windowOpacity", this);
    animation->setDuration(1000);
    animation->setStartValue(1.0);
    animation->setEndValue(0.0);
    connect(animation, &QPropertyAnimation::finished, this, [this] {
        close();
        deleteLater();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void ToastAnimation::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(rect(), 20, 20);
    painter.setClipPath(path);
    painter.fillRect(rect(), Qt::black);
}

}  // namespace app
