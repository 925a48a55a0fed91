#include "window/main_window_layout.h"

#include "window/my_web_view.h"

namespace app {

void MainWindowLayout::setupUi(QMainWindow* window) {
    window->setObjectName(QStringLiteral("MainWindow"));
    window->resize(900, 420);
    window->setStyleSheet(QStringLiteral(
        "#MainWindow{\n border: none;\nbackground-color:transparent;\nborder-bottom-right-radius:12px;\n"
        "border-top-right-radius:12px;\n}"));
    centralwidget = new QWidget(window);
    centralwidget->setObjectName(QStringLiteral("centralwidget"));
    horizontalLayout = new QHBoxLayout(centralwidget);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(0);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);
    frame = new QFrame(centralwidget);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    frame->setLineWidth(0);
    verticalLayout = new QVBoxLayout(frame);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(0);
    verticalLayout->setContentsMargins(0, 0, 0, 0);
    baseWebView = new MyWebView(frame);
    baseWebView->setObjectName(QStringLiteral("baseWebView"));
    verticalLayout->addWidget(baseWebView);
    horizontalLayout->addWidget(frame);
    window->setCentralWidget(centralwidget);
}

}  // namespace app
