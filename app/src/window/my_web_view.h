#pragma once
// The embedded browser view: profile set up with a cache folder beside the
// program, and the view's input surface watched for page-driven drags.
#include <QPointer>
#include <QWebEngineView>

namespace app {

class MyWebView : public QWebEngineView {
    Q_OBJECT
public:
    explicit MyWebView(QWidget* parent = nullptr);

    // The child widget that receives the view's mouse input, once it exists.
    QWidget* InputSurface() const { return m_inputSurface; }

signals:
    void inputSurfaceReady(QWidget* surface);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void WatchSurface(QWidget* child);
    QPointer<QWidget> m_inputSurface;
};

// Points the default profile's cache and storage at dir (created if missing).
void ConfigureDefaultProfile(const QString& dir);

}  // namespace app
