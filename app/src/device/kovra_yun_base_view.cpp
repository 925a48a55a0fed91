#include "device/kovra_yun_base_view.h"

#include <QCloseEvent>
#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMouseEvent>
#include <QWindow>

#include "bridge/yun_state_manager.h"
#include "device/channel_object_interface.h"
#include "device/device_edge_resizer.h"
#include "device/device_key_table.h"
#include "device/follower_panel.h"
#include "device/stats_overlay_control.h"
#include "device/yun_device_label.h"
#include "keymap/base_key_setting_dialog.h"
#include "context/brand.h"

namespace app {
namespace {
const char kSyncWindowId[] = "syncDevice";
}

KovraYunBaseView::KovraYunBaseView(const QString& windowId, QWidget* parent)
    : QWidget(parent), m_windowId(windowId), m_keyTable(DeviceKeyTable()) {
    setObjectName(QStringLiteral("KovraYunBaseView"));
    setStyleSheet(QStringLiteral("#KovraYunBaseView{\nborder-radius:10px;\n}"));
    m_ui.setupUi(this, windowId);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    resize(472, 808);
    move(200, 200);
    setMouseTracking(true);
    setWindowTitle(QStringLiteral("云手机窗口"));
    setWindowIcon(BrandIcon());
    m_ui.stopMutiBUtton->setVisible(m_windowId == QLatin1String(kSyncWindowId));
    m_keyEditor = new BaseKeySettingDialog(this);
    m_keyEditor->hide();
    auto* resizer = new DeviceEdgeResizer(this);
    for (QWidget* w : {m_ui.titlebar, m_ui.leftBar, static_cast<QWidget*>(m_ui.yunViewLabel)}) resizer->Watch(w);
    if (m_windowId == QLatin1String(kSyncWindowId)) {
        // Folded at first: the window opens with its usual geometry.
        m_followers = new FollowerPanel(this);
        m_followers->hide();
        m_ui.bodyLayout->addWidget(m_followers);
        m_followersButton = new QPushButton(QStringLiteral("成员"), m_ui.leftBar);
        m_followersButton->setObjectName(QStringLiteral("followersButton"));
        m_followersButton->setToolTip(QStringLiteral("同步设备"));
        m_followersButton->setFocusPolicy(Qt::NoFocus);
        m_followersButton->setCheckable(true);
        m_followersButton->setFixedSize(30, 22);
        m_followersButton->setStyleSheet(QStringLiteral(
            "QPushButton{border:1px solid rgb(90,90,90);border-radius:4px;color:white;background:transparent;}"
            "QPushButton:checked{background:rgb(40,111,248);border-color:rgb(40,111,248);}"));
        m_ui.sideBarLayout->insertWidget(m_ui.sideBarLayout->indexOf(m_ui.channelLineEdit), m_followersButton, 0,
                                         Qt::AlignHCenter);
        connect(m_followersButton, &QPushButton::toggled, this, &KovraYunBaseView::SetFollowersShown);
    }
    ConnectToolbar();
    ConnectTextPath();
    m_stats = new StatsOverlayControl(this, m_ui);
}

int KovraYunBaseView::PanelWidth() const { return m_followers && !m_followers->isHidden() ? FollowerPanel::kWidth : 0; }

void KovraYunBaseView::SetFollowersShown(bool shown) {
    if (!m_followers || shown == !m_followers->isHidden()) {
        return;
    }
    const QSize before = size();
    m_followers->setVisible(shown);
    if (m_followersButton->isChecked() != shown) m_followersButton->setChecked(shown);
    const int change = shown ? FollowerPanel::kWidth : -FollowerPanel::kWidth;
    setMinimumSize(DeviceMinimumSize(m_channel && m_channel->landscape) + QSize(PanelWidth(), 0));
    const ResizeEdge edge = m_resizeEdge;
    m_resizeEdge = ResizeEdge::None;  // only the width of the panel changes
    resize(before.width() + change, before.height());
    m_resizeEdge = edge;
}

KovraYunBaseView::~KovraYunBaseView() {
    if (m_channel) {
        m_channel->stop();
    }
}

void KovraYunBaseView::setChannel(std::shared_ptr<ChannelObjectInterface> channel) {
    m_channel = std::move(channel);
    m_ui.yunViewLabel->SetChannel(m_channel);
    if (m_followers) m_followers->SetChannel(m_channel);
    m_stats->SetChannel(m_channel);
    QPointer<QLineEdit> edit = m_ui.channelLineEdit;
    // Back ends call this on the GUI thread.
    m_channel->setInputActiveCallback([edit](bool active) {
        if (active && edit) {
            edit->setFocus();
        }
    });
}

void KovraYunBaseView::SendToPage(const QJsonObject& data) {
    const QJsonObject message{{"action", "sendDataFromYunViewToMainView"}, {"data", data}};
    YunStateManager::Instance().send(m_windowId,
                                     QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

bool KovraYunBaseView::CloseRequested() const { return m_closedByPage || property("closedByPage").toBool(); }

void KovraYunBaseView::closeEvent(QCloseEvent* event) {
    if (!CloseRequested()) {
        SendToPage({{"type", "closeWin"}, {"winId", m_windowId}});
    }
    YunStateManager& manager = YunStateManager::Instance();
    if (manager.Window(m_windowId) == this) {
        manager.RemoveWindow(m_windowId);
    }
    if (m_channel) {
        m_channel->stop();
    }
    if (m_keyEditor) {
        m_keyEditor->close();
    }
    event->accept();
    // A closed view is gone for good: nothing keeps decoding for a hidden window.
    deleteLater();
}

void KovraYunBaseView::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (m_channel) {
        m_channel->paintFrame(m_ui.yunViewLabel);
    }
}

void KovraYunBaseView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const bool landscape = m_channel && m_channel->landscape;
    // The follower panel, when shown, is beside the design's window: every
    // rule below holds for the window without it.
    const int panel = PanelWidth();
    setMinimumSize(DeviceMinimumSize(landscape) + QSize(panel, 0));
    const int w = width() - panel, h = height();
    m_ui.stopMutiBUtton->setVisible(w > 450 && m_windowId == QLatin1String(kSyncWindowId));
    m_ui.deviceIdLabel->setVisible(w > 399);
    for (QLabel* caption : m_ui.captions) caption->setVisible(h > 320);
    const QSize wanted =
        AspectSize(QSize(w, h), m_resizeEdge, landscape, isMaximized()) + QSize(panel, 0);
    if (wanted != size()) {
        resize(wanted);
        return;  // the resize comes back here with the kept size
    }
    if (m_channel) {
        m_channel->displayResized(width(), h);
    }
}

void KovraYunBaseView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_windowFilterInstalled && windowHandle()) {
        windowHandle()->installEventFilter(this);
        m_windowFilterInstalled = true;
    }
}

void KovraYunBaseView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragOffset = event->globalPos() - frameGeometry().topLeft();
        m_dragging = true;
    }
}

void KovraYunBaseView::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPos() - m_dragOffset);
    }
}

void KovraYunBaseView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
    }
}

}  // namespace app
