#pragma once
// The widgets of a device view, built in code: the title bar, the picture
// and the side bar with its buttons.
#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QWidget>

namespace app {

class YunDeviceLabel;

struct YunBaseViewLayout {
    QWidget* titlebar = nullptr;
    QLabel* label_2 = nullptr;
    QLabel* deviceIdLabel = nullptr;
    QPushButton* stopMutiBUtton = nullptr;
    QComboBox* comboBox = nullptr;
    QPushButton* topupButton = nullptr;
    QPushButton* hideButton = nullptr;
    QPushButton* maxButton = nullptr;
    QPushButton* closeButton = nullptr;
    YunDeviceLabel* yunViewLabel = nullptr;
    QWidget* leftBar = nullptr;
    QPushButton* volumnAddButton = nullptr;
    QPushButton* volumnReduceButton = nullptr;
    QPushButton* installButton = nullptr;
    QPushButton* rotateButton = nullptr;
    QPushButton* cutButton = nullptr;
    QPushButton* keyButton = nullptr;
    QList<QLabel*> captions;  // under the six buttons above
    QLineEdit* channelLineEdit = nullptr;
    QPushButton* backButton = nullptr;
    QPushButton* homeButton = nullptr;
    QPushButton* menuButton = nullptr;
    QHBoxLayout* bodyLayout = nullptr;     // picture, side bar (and a group window's follower panel)
    QVBoxLayout* sideBarLayout = nullptr;

    void setupUi(QWidget* view, const QString& windowId);
};

// ":/image/assets/<name>".
QString AssetPath(const QString& name);
void SetButtonIcon(QPushButton* button, const QString& name);

}  // namespace app
