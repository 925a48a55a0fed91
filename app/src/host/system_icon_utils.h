#pragma once
// The tray icon with its "显示" / "退出" menu. Without a system tray (e.g.
// under a bare X server) nothing is shown and the program works as before.
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include <memory>

namespace app {

class SystemIconUtils : public QObject {
    Q_OBJECT
public:
    explicit SystemIconUtils(QObject* parent = nullptr);
    ~SystemIconUtils() override;

    QSystemTrayIcon* TrayIcon() const { return m_tray.get(); }
    QMenu* Menu() const { return m_menu.get(); }

    // "显示": front, showNormal, activate. Double click: front, show, activate.
    static void ShowMainWindow(bool normal);

private:
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
};

}  // namespace app
