#pragma once
// A plain window with one browser view, opened by "openNewWindow".
#include <QMainWindow>
#include <QUrl>

namespace app {

class MyWebView;

class CommonWebView : public QMainWindow {
    Q_OBJECT
public:
    // Frees itself when closed.
    explicit CommonWebView(const QUrl& url, QWidget* parent = nullptr);
    MyWebView* WebView() const { return m_view; }

private:
    MyWebView* m_view;  // owned through Qt parenting
};

}  // namespace app
