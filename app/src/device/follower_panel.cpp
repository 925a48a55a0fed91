#include "device/follower_panel.h"

#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "device/channel_object_interface.h"

namespace app {
namespace {
const QSize kPicture(90, 160);
}

FollowerTile::FollowerTile(QWidget* parent, std::function<void(const QString&)> onClick)
    : QFrame(parent), m_onClick(std::move(onClick)) {
    setObjectName(QStringLiteral("followerTile"));
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setStyleSheet(QStringLiteral("#followerTile{border:1px solid rgb(60,60,60);border-radius:6px;}"
                                 "#followerTile:hover{border-color:rgb(40,111,248);}"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("followerPicture"));
    m_picture->setFixedSize(kPicture);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setStyleSheet(QStringLiteral("background:black;"));
    m_name = new QLabel(this);
    m_name->setAlignment(Qt::AlignCenter);
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("followerState"));
    m_state->setAlignment(Qt::AlignCenter);
    for (QLabel* label : {m_picture, m_name, m_state}) {
        label->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(label, 0, Qt::AlignHCenter);
    }
}

void FollowerTile::Show(const FollowerInfo& info) {
    m_deviceId = info.deviceId;
    m_name->setText(fontMetrics().elidedText(info.deviceId, Qt::ElideMiddle, kPicture.width() + 20));
    m_name->setToolTip(info.deviceId);
    m_state->setText(FollowerStateText(info));
    if (info.picture.isNull()) {
        m_picture->clear();
        m_pictureKey = 0;
    } else if (info.picture.cacheKey() != m_pictureKey) {
        m_pictureKey = info.picture.cacheKey();
        m_picture->setPixmap(QPixmap::fromImage(
            info.picture.scaled(kPicture, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }
}

void FollowerTile::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->pos()) && m_onClick) {
        m_onClick(m_deviceId);
    }
    event->accept();
}

FollowerPanel::FollowerPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("followerPanel"));
    setFixedWidth(kWidth);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#followerPanel{background-color: rgb(22, 22, 22);}"
                                 "QLabel{color:white;font-size:8pt;}"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 6, 0, 6);
    outer->setSpacing(4);
    auto* title = new QLabel(QStringLiteral("同步设备"), this);
    title->setAlignment(Qt::AlignCenter);
    outer->addWidget(title);
    auto* scroll = new QScrollArea(this);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setStyleSheet(QStringLiteral("background:transparent;"));
    auto* content = new QWidget(scroll);
    content->setFocusPolicy(Qt::NoFocus);
    m_list = new QVBoxLayout(content);
    m_list->setContentsMargins(6, 0, 6, 0);
    m_list->setSpacing(6);
    m_list->addStretch();
    scroll->setWidget(content);
    outer->addWidget(scroll, 1);
    // Pictures of the vendor back end change with every frame; the group
    // SDK's come at the group's interval.
    m_timer.setInterval(500);
    connect(&m_timer, &QTimer::timeout, this, &FollowerPanel::Refresh);
}

void FollowerPanel::SetChannel(const std::shared_ptr<ChannelObjectInterface>& channel) {
    m_channel = channel;
    if (FollowerSource* source = Source()) {
        QPointer<FollowerPanel> self(this);
        source->SetFollowersChanged([self] {
            if (self && self->isVisible()) self->Refresh();
        });
    }
}

FollowerSource* FollowerPanel::Source() const {
    const std::shared_ptr<ChannelObjectInterface> channel = m_channel.lock();
    return dynamic_cast<FollowerSource*>(channel.get());
}

void FollowerPanel::Refresh() {
    FollowerSource* source = Source();
    const QList<FollowerInfo> followers = source ? source->Followers() : QList<FollowerInfo>();
    std::weak_ptr<ChannelObjectInterface> weak = m_channel;
    while (m_tiles.size() < followers.size()) {
        // Switched after the click's event: the switch refreshes the tiles.
        auto* tile = new FollowerTile(this, [this, weak](const QString& id) {
            QTimer::singleShot(0, this, [weak, id] {
                const std::shared_ptr<ChannelObjectInterface> channel = weak.lock();
                if (auto* s = dynamic_cast<FollowerSource*>(channel.get())) s->MakeMain(id);
            });
        });
        m_list->insertWidget(m_list->count() - 1, tile);
        m_tiles.append(tile);
    }
    while (m_tiles.size() > followers.size()) delete m_tiles.takeLast();
    for (int i = 0; i < followers.size(); ++i) m_tiles[i]->Show(followers[i]);
}

void FollowerPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
    m_timer.start();
}

void FollowerPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_timer.stop();
}

}  // namespace app
