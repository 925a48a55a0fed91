#include "window/main_window.h"

#include <QDebug>

#include "bridge/web_socket_channel.h"
#include "context/app_context.h"
#include "context/brand.h"
#include "window/frameless_resizer.h"
#include "window/my_web_view.h"

namespace app {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    AppContext::SetMainWindow(this);
    m_ui.setupUi(this);

    m_channel = std::make_shared<WebSocketChannel>();
    m_port = m_channel->Start();
    m_channel->SetFrontendOrigin(QUrl(AppContext::FrontendUrl()));
    connect(m_ui.baseWebView, &QWebEngineView::urlChanged, this,
            [this](const QUrl& url) { m_channel->SetPageOrigin(url); });

    setWindowIcon(BrandIcon());
    setWindowTitle(AppContext::WindowTitle());

    m_startUrl = QUrl(AppContext::FrontendUrl() + "?localPort=" + QString::number(m_port));
    qInfo().noquote() << "loading" << m_startUrl.toString();
    m_ui.baseWebView->load(m_startUrl);

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    setMinimumSize(1024, 558);
    resize(1024, 558);

    m_resizer = new FramelessResizer(this, m_borderWidth);
    connect(m_ui.baseWebView, &MyWebView::inputSurfaceReady, m_resizer, &FramelessResizer::Watch);
    if (QWidget* surface = m_ui.baseWebView->InputSurface()) {
        m_resizer->Watch(surface);
    }
}

MainWindow::~MainWindow() {
    if (AppContext::MainWindow() == this) {
        AppContext::SetMainWindow(nullptr);
    }
}

}  // namespace app
