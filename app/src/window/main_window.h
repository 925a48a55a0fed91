#pragma once
// The frameless main window showing the front end, with the bridge server.
#include <QMainWindow>
#include <QUrl>

#include <memory>

#include "window/main_window_layout.h"

namespace app {

class FramelessResizer;
class WebSocketChannel;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    WebSocketChannel* Channel() const { return m_channel.get(); }
    MyWebView* WebView() const { return m_ui.baseWebView; }
    int Port() const { return m_port; }
    // Front-end URL + "?localPort=" + port, as loaded.
    QUrl StartUrl() const { return m_startUrl; }

private:
    MainWindowLayout m_ui;
    std::shared_ptr<WebSocketChannel> m_channel;
    FramelessResizer* m_resizer = nullptr;  // owned through Qt parenting
    int m_borderWidth = 4;
    int m_port = -1;
    QUrl m_startUrl;
};

}  // namespace app
