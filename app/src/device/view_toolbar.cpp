// The device view's toolbar and side bar.
#include <QJsonObject>

#include "device/channel_object_interface.h"
#include "device/kovra_yun_base_view.h"
#include "device/yun_device_label.h"
#include "keymap/base_key_setting_dialog.h"
#include "platform/window_ops.h"

namespace app {
namespace {
const char kSyncWindowId[] = "syncDevice";
}

void KovraYunBaseView::ConnectToolbar() {
    const bool sync = m_windowId == QLatin1String(kSyncWindowId);
    connect(m_ui.topupButton, &QPushButton::pressed, this, &KovraYunBaseView::ToggleStayOnTop);
    connect(m_ui.hideButton, &QPushButton::pressed, this, [this] { isMinimized() ? showNormal() : showMinimized(); });
    connect(m_ui.maxButton, &QPushButton::pressed, this, [this] {
        if (isMaximized()) {
            SetButtonIcon(m_ui.maxButton, QStringLiteral("max_icon.png"));
            showNormal();
        } else {
            SetButtonIcon(m_ui.maxButton, QStringLiteral("no_max_icon.png"));
            showMaximized();
        }
    });
    connect(m_ui.closeButton, &QPushButton::pressed, this, &QWidget::close);
    connect(m_ui.comboBox, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        const int level = text == QStringLiteral("高清") ? 1 : text == QStringLiteral("标清") ? 2
                                                           : text == QStringLiteral("普通") ? 3 : 0;
        if (level != 0 && m_channel) m_channel->setQuality(level);
    });
    connect(m_ui.volumnAddButton, &QPushButton::pressed, this, [this] { if (m_channel) m_channel->changeVolume(true); });
    connect(m_ui.volumnReduceButton, &QPushButton::pressed, this,
            [this] { if (m_channel) m_channel->changeVolume(false); });
    auto report = [this, sync](const char* single, const char* all) {
        QJsonObject data{{"type", QString::fromLatin1(sync ? all : single)}};
        if (!sync) data.insert("instanceCode", m_channel ? m_channel->deviceId : QString());
        SendToPage(data);
    };
    connect(m_ui.installButton, &QPushButton::pressed, this, [report] { report("INSTALL", "INSTALL_ALL_DEVICE"); });
    connect(m_ui.cutButton, &QPushButton::pressed, this, [report] { report("SCREENSHOT", "SCREENSHOT_ALL_DEVICE"); });
    connect(m_ui.rotateButton, &QPushButton::pressed, this, &KovraYunBaseView::Rotate);
    connect(m_ui.keyButton, &QPushButton::pressed, this, &KovraYunBaseView::OpenKeyEditor);
    connect(m_ui.backButton, &QPushButton::pressed, this, [this] { if (m_channel) m_channel->sendControlKey(1); });
    connect(m_ui.homeButton, &QPushButton::pressed, this, [this] { if (m_channel) m_channel->sendControlKey(0); });
    connect(m_ui.menuButton, &QPushButton::pressed, this, [this] { if (m_channel) m_channel->sendControlKey(2); });
    connect(m_ui.stopMutiBUtton, &QPushButton::pressed, this, &KovraYunBaseView::ToggleSync);
}

// Pauses the copying of input to the group, or resumes it, and tells the page.
void KovraYunBaseView::ToggleSync() {
    if (!m_channel) {
        return;
    }
    if (m_syncRunning) {
        m_channel->pauseSync();
        m_ui.stopMutiBUtton->setText(QStringLiteral("开始同步"));
    } else {
        m_channel->resumeSync();
        m_ui.stopMutiBUtton->setText(QStringLiteral("暂停同步"));
    }
    m_syncRunning = !m_syncRunning;
    SendToPage({{"type", "ISPAUSESYNC"}, {"status", m_syncRunning}});
}

void KovraYunBaseView::ToggleStayOnTop() {
    m_notPinned = !m_notPinned;
    SetButtonIcon(m_ui.topupButton, m_notPinned ? QStringLiteral("topup_icon.png")
                                                : QStringLiteral("topup_selected_icon.png"));
    platform::SetStayOnTop(this, !m_notPinned);
    show();
    activateWindow();
}

void KovraYunBaseView::Rotate() {
    if (!m_channel) {
        return;
    }
    const QSize before = size();
    m_channel->setLandscape(!m_channel->landscape);
    // Both orientations' minimums hold while turning; the resize sets the new one.
    setMinimumSize(256, 256);
    resize(before.transposed());
}

void KovraYunBaseView::OpenKeyEditor() {
    resize(width() > height() ? QSize(808, 472) : QSize(472, 808));
    QPointer<KovraYunBaseView> self(this);
    m_keyEditor->open(m_ui.yunViewLabel->width(), height(), m_channel,
                      [self](bool applied, const KeySetData& scheme) {
                          if (!self) return;
                          self->m_keyScheme = scheme;
                          self->m_keyMappingEnabled = applied;
                      });
    m_keyEditor->move(mapToGlobal(QPoint(0, 0)));
    m_keyEditor->show();
    m_keyEditor->raise();
}

}  // namespace app
