#include "device/stats_overlay.h"

#include <QEvent>
#include <QFontDatabase>
#include <QPainter>
#include <QWindow>

namespace app {
namespace {
constexpr int kMargin = 6;   // from the picture's edges
constexpr int kPadding = 6;  // inside the box
}  // namespace

StatsOverlay::StatsOverlay(QWidget* view, QWidget* picture) : QWidget(view), m_picture(picture) {
    setObjectName(QStringLiteral("statsOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    QFont small = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    small.setPointSize(8);
    setFont(small);
    if (m_picture) m_picture->installEventFilter(this);
    hide();
}

void StatsOverlay::SetLines(const QStringList& lines) {
    if (lines == m_lines) return;
    m_lines = lines;
    FollowPicture();
    update();
}

void StatsOverlay::FollowPicture() {
    if (!m_picture) return;
    // A native picture makes its siblings native too (Qt's default): this
    // widget may have become one without BecomeNative.
    if (m_picture->testAttribute(Qt::WA_NativeWindow) || testAttribute(Qt::WA_NativeWindow)) BecomeNative();
    const QFontMetrics metrics(font());
    int width = 0;
    for (const QString& line : m_lines) width = qMax(width, metrics.horizontalAdvance(line));
    const QRect area = m_picture->geometry().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const QSize wanted(width + 2 * kPadding, int(m_lines.size()) * metrics.height() + 2 * kPadding);
    // Never outside the picture: the title bar and the side bar stay uncovered.
    setGeometry(QRect(area.topLeft(), wanted.boundedTo(area.size().expandedTo(QSize(1, 1)))));
    raise();
}

void StatsOverlay::BecomeNative() {
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    winId();
    QWindow* window = windowHandle();
    const Qt::WindowFlags passive = Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus;
    if (window && (window->flags() & passive) != passive) {
        // Clicks pass through to the picture's window below, at the X
        // server, and the window never takes the focus.
        window->setFlags(window->flags() | passive);
    }
}

void StatsOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // A native window has nothing below it to blend with: opaque there.
    const int alpha = testAttribute(Qt::WA_NativeWindow) ? 255 : 190;
    painter.fillRect(rect(), QColor(16, 16, 16, alpha));
    painter.setPen(QColor(230, 230, 230));
    const QFontMetrics metrics(font());
    int y = kPadding + metrics.ascent();
    for (const QString& line : m_lines) {
        if (y > height()) break;
        painter.drawText(kPadding, y, line);
        y += metrics.height();
    }
}

bool StatsOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_picture && isVisible() &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::WinIdChange)) {
        FollowPicture();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace app
