#include "device/stats_overlay_control.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QSettings>

#include "device/channel_object_interface.h"
#include "device/stats_overlay.h"
#include "device/stats_text.h"
#include "device/yun_base_view_layout.h"
#include "device/yun_device_label.h"
#include "context/app_context.h"

namespace app {
namespace {

const char kSettingsKey[] = "statsOverlay/shown";
constexpr int kRefreshMs = 1000;

QSettings UserSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, AppContext::ApplicationName(),
                     QStringLiteral("deviceView"));
}

bool IsShortcut(const QKeyEvent* event) {
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    return event->key() == Qt::Key_S && mods == (Qt::ControlModifier | Qt::ShiftModifier);
}

}  // namespace

bool StatsOverlayControl::Remembered() { return UserSettings().value(kSettingsKey, false).toBool(); }

void StatsOverlayControl::Remember(bool shown) {
    QSettings settings = UserSettings();
    settings.setValue(kSettingsKey, shown);
    settings.sync();
}

StatsOverlayControl::StatsOverlayControl(QWidget* view, const YunBaseViewLayout& ui) : QObject(view), m_view(view) {
    m_overlay = new StatsOverlay(view, ui.yunViewLabel);
    m_button = new QPushButton(ui.titlebar);
    m_button->setObjectName(QStringLiteral("statsButton"));
    m_button->setFixedSize(20, 20);
    m_button->setFlat(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setCheckable(true);
    m_button->setToolTip(QStringLiteral("Statistics (Ctrl+Shift+S)"));
    m_button->setStyleSheet(QStringLiteral("QPushButton{border:none;background:transparent;}"));
    m_button->setIconSize(QSize(20, 20));
    if (auto* title = qobject_cast<QHBoxLayout*>(ui.titlebar->layout())) {
        const int at = title->indexOf(ui.topupButton);
        title->insertWidget(at < 0 ? title->count() : at, m_button);
    }
    connect(m_button, &QPushButton::clicked, this, [this] { Toggle(); });
    m_timer.setInterval(kRefreshMs);
    connect(&m_timer, &QTimer::timeout, this, &StatsOverlayControl::Refresh);
    m_shown = Remembered();
    Apply();
}

void StatsOverlayControl::SetChannel(std::shared_ptr<ChannelObjectInterface> channel) {
    m_channel = std::move(channel);
    if (m_shown) Refresh();
}

void StatsOverlayControl::SetShown(bool shown) {
    if (shown == m_shown) return;
    m_shown = shown;
    Remember(shown);
    Apply();
}

void StatsOverlayControl::Apply() {
    SetButtonIcon(m_button, m_shown ? QStringLiteral("stats_selected_icon.png") : QStringLiteral("stats_icon.png"));
    m_button->setChecked(m_shown);
    if (m_shown) {
        Refresh();
        m_overlay->show();
        m_overlay->FollowPicture();
        m_timer.start();
    } else {
        m_timer.stop();
        m_overlay->hide();
    }
}

void StatsOverlayControl::Refresh() {
    StreamStats stats;
    const bool known = m_channel && m_channel->queryStats(stats);
    QStringList lines = known ? StatsLines(stats) : QStringList();
    if (lines.isEmpty()) lines << QStringLiteral("no figures yet");
    m_overlay->SetLines(lines);
    m_overlay->FollowPicture();
}

bool StatsOverlayControl::HandleKeyPress(QKeyEvent* event) {
    if (!IsShortcut(event)) return false;
    m_swallowReleases = {Qt::Key_S, Qt::Key_Control, Qt::Key_Shift};
    if (!event->isAutoRepeat()) Toggle();
    event->accept();
    return true;
}

bool StatsOverlayControl::HandleKeyRelease(QKeyEvent* event) {
    if (!m_swallowReleases.remove(event->key())) return false;
    event->accept();
    return true;
}

}  // namespace app
