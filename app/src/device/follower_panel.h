#pragma once
// The side panel of a group window: every follower of the group as a small
// picture with its state; a click on one makes it the main phone. Nothing
// in it takes the keyboard focus, so keys keep going to the phone.
#include <QFrame>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

#include "device/follower_source.h"

class QLabel;
class QVBoxLayout;

namespace app {

class ChannelObjectInterface;

// One follower: picture, device id and state.
class FollowerTile : public QFrame {
public:
    FollowerTile(QWidget* parent, std::function<void(const QString&)> onClick);
    void Show(const FollowerInfo& info);
    const QString& DeviceId() const { return m_deviceId; }
    QLabel* Picture() const { return m_picture; }
    QLabel* State() const { return m_state; }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::function<void(const QString&)> m_onClick;
    QString m_deviceId;
    QLabel* m_picture;
    QLabel* m_name;
    QLabel* m_state;
    qint64 m_pictureKey = 0;
};

class FollowerPanel : public QWidget {
public:
    static constexpr int kWidth = 132;

    explicit FollowerPanel(QWidget* parent);
    // The back end whose followers are shown (one that is a FollowerSource).
    void SetChannel(const std::shared_ptr<ChannelObjectInterface>& channel);
    void Refresh();
    const QList<FollowerTile*>& Tiles() const { return m_tiles; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    FollowerSource* Source() const;

    std::weak_ptr<ChannelObjectInterface> m_channel;
    QVBoxLayout* m_list = nullptr;
    QList<FollowerTile*> m_tiles;
    QTimer m_timer;
};

}  // namespace app
