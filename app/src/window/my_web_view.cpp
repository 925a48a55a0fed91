#include "window/my_web_view.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QMouseEvent>
#include <QWebEngineProfile>

#include "context/app_context.h"
#include "window/window_drag.h"

namespace app {

void ConfigureDefaultProfile(const QString& dir) {
    // Once per process: a second set-up would change a profile in use.
    static bool configured = false;
    if (configured) {
        return;
    }
    configured = true;
    QDir().mkpath(dir);
    // The HTTP cache is cleared by removing it before the profile opens it:
    // QWebEngineProfile::clearHttpCache() aborts the loads already running,
    // which made the front end fail to load over HTTP.
    QDir(dir + "/Cache").removeRecursively();
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    profile->setCachePath(dir);
    profile->setPersistentStoragePath(dir);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
}

MyWebView::MyWebView(QWidget* parent) : QWebEngineView(parent) {
    if (objectName().isEmpty()) {
        setObjectName(QStringLiteral("MyWebView"));
    }
    ConfigureDefaultProfile(QCoreApplication::applicationDirPath() + "/cache");
    connect(this, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (ok) {
            qInfo().noquote() << "网页标题：" << title();
        }
    });
    for (QObject* child : children()) {
        if (auto* widget = qobject_cast<QWidget*>(child)) {
            WatchSurface(widget);
            break;
        }
    }
}

bool MyWebView::event(QEvent* event) {
    if (event->type() == QEvent::ChildAdded) {
        if (auto* widget = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child())) {
            WatchSurface(widget);
        }
    }
    return QWebEngineView::event(event);
}

void MyWebView::WatchSurface(QWidget* child) {
    if (m_inputSurface) {
        return;
    }
    qDebug() << child << "Mouse add";
    m_inputSurface = child;
    child->installEventFilter(this);
    emit inputSurfaceReady(child);
}

bool MyWebView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_inputSurface && event->type() == QEvent::MouseMove && WindowDrag::Dragging()) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!mouse->buttons().testFlag(Qt::LeftButton)) {
            // The button went up where the page could not see it (outside
            // the window): without this the window would stick to the cursor.
            WindowDrag::Stop();
        } else {
            WindowDrag::Follow(AppContext::MainWindow(), mouse->globalPos());
        }
    }
    return QWebEngineView::eventFilter(watched, event);
}

}  // namespace app
