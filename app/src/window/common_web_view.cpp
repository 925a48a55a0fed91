#include "window/common_web_view.h"

#include <QStatusBar>
#include <QVBoxLayout>

#include "window/my_web_view.h"

namespace app {

CommonWebView::CommonWebView(const QUrl& url, QWidget* parent) : QMainWindow(parent), m_view(nullptr) {
    setObjectName(QStringLiteral("CommonWebView"));
    setWindowTitle(QStringLiteral("MainWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralwidget"));
    auto* layout = new QVBoxLayout(central);
    layout->setObjectName(QStringLiteral("verticalLayout"));
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new MyWebView(central);
    m_view->setObjectName(QStringLiteral("baseWebview"));
    layout->addWidget(m_view);
    setCentralWidget(central);
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("statusbar"));
    setStatusBar(status);
    resize(1024, 720);
    m_view->load(url);
}

}  // namespace app
