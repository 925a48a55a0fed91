#include "host/system_icon_utils.h"

#include <QCoreApplication>
#include <QDebug>

#include "platform/window_ops.h"
#include "context/app_context.h"
#include "context/brand.h"

namespace app {

SystemIconUtils::SystemIconUtils(QObject* parent)
    : QObject(parent), m_menu(std::make_unique<QMenu>(QStringLiteral("corvo云手机"))) {
    QAction* showAction = m_menu->addAction(QStringLiteral("显示"));
    QAction* quitAction = m_menu->addAction(QStringLiteral("退出"));
    connect(showAction, &QAction::triggered, this, [] { ShowMainWindow(true); });
    connect(quitAction, &QAction::triggered, this, [] { QCoreApplication::quit(); });

    m_tray = std::make_unique<QSystemTrayIcon>(BrandIcon());
    m_tray->setContextMenu(m_menu.get());
    connect(m_tray.get(), &QSystemTrayIcon::activated, this, &SystemIconUtils::OnActivated);
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray->show();
    } else {
        qInfo() << "no system tray; tray icon not shown";
    }
}

SystemIconUtils::~SystemIconUtils() = default;

void SystemIconUtils::ShowMainWindow(bool normal) {
    QWidget* window = AppContext::MainWindow();
    if (!window) {
        return;
    }
    if (normal) {
        window->showNormal();
    } else {
        window->show();
    }
    platform::BringToFront(window);
}

void SystemIconUtils::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) {
        ShowMainWindow(false);
    }
}

}  // namespace app
