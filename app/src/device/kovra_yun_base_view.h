#pragma once
// A device window: a frameless top-level view of one cloud phone that
// forwards keys, text, clicks and toolbar commands to its back end and
// reports to the page through its bridge socket.
#include <QHash>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

#include "device/device_geometry.h"
#include "device/yun_base_view_layout.h"
#include "keymap/base_key_setting_dialog.h"
#include "keymap/key_scheme_data.h"

namespace app {

class ChannelObjectInterface;
class FollowerPanel;
class StatsOverlayControl;

class KovraYunBaseView : public QWidget {
    Q_OBJECT
public:
    explicit KovraYunBaseView(const QString& windowId, QWidget* parent = nullptr);
    ~KovraYunBaseView() override;

    void setChannel(std::shared_ptr<ChannelObjectInterface> channel);
    std::shared_ptr<ChannelObjectInterface> Channel() const { return m_channel; }
    const QString& WindowId() const { return m_windowId; }
    const YunBaseViewLayout& Ui() const { return m_ui; }
    BaseKeySettingDialog* KeyEditor() const { return m_keyEditor; }
    StatsOverlayControl* Stats() const { return m_stats; }
    bool KeyMappingEnabled() const { return m_keyMappingEnabled; }
    const KeySetData& KeyScheme() const { return m_keyScheme; }
    void SetClosedByPage(bool closed) { m_closedByPage = closed; }
    // The edge of the native resize in progress (set by the edge hit test).
    void SetResizeEdge(ResizeEdge edge) { m_resizeEdge = edge; }
    ResizeEdge CurrentResizeEdge() const { return m_resizeEdge; }

    bool SyncRunning() const { return m_syncRunning; }
    // A group window's follower panel and the button that folds it (null elsewhere).
    FollowerPanel* Followers() const { return m_followers; }
    QPushButton* FollowersButton() const { return m_followersButton; }
    // Shows or folds the follower panel; folded, the window is as wide as without it.
    void SetFollowersShown(bool shown);
    // Sends {"action": "sendDataFromYunViewToMainView", "data": data} to the page.
    void SendToPage(const QJsonObject& data);

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ConnectToolbar();
    void ConnectTextPath();
    void ToggleStayOnTop();
    void ToggleSync();
    void Rotate();
    void OpenKeyEditor();
    void OnLineEditText(const QString& text);
    // Taps of the current key scheme for a released key's text.
    void ApplyKeyScheme(const QString& keyText);
    bool CloseRequested() const;

    bool m_closedByPage = false;
    QString m_windowId;
    YunBaseViewLayout m_ui;
    QPoint m_dragOffset;
    bool m_dragging = false;
    std::shared_ptr<ChannelObjectInterface> m_channel;
    bool m_syncRunning = true;
    bool m_notPinned = true;
    bool m_keyMappingEnabled = false;
    KeySetData m_keyScheme;
    ResizeEdge m_resizeEdge = ResizeEdge::None;
    QPointer<BaseKeySettingDialog> m_keyEditor;
    const QHash<int, int>& m_keyTable;
    bool m_ctrlHeld = false;
    bool m_vHeld = false;
    bool m_windowFilterInstalled = false;
    FollowerPanel* m_followers = nullptr;
    QPushButton* m_followersButton = nullptr;
    int PanelWidth() const;
    StatsOverlayControl* m_stats = nullptr;  // child of the view
};

}  // namespace app
