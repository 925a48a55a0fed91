#pragma once
// The main window's widget tree (object names are what its style sheets use).
#include <QFrame>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QVBoxLayout>

namespace app {

class MyWebView;

struct MainWindowLayout {
    QWidget* centralwidget = nullptr;
    QHBoxLayout* horizontalLayout = nullptr;
    QFrame* frame = nullptr;
    QVBoxLayout* verticalLayout = nullptr;
    MyWebView* baseWebView = nullptr;

    // Builds the tree into window (900 × 420).
    void setupUi(QMainWindow* window);
};

}  // namespace app
