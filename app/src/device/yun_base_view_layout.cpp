#include "device/yun_base_view_layout.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "device/yun_device_label.h"
#include "context/brand.h"
#include "widgets/custom_combo_box.h"
#include "widgets/transparent_line_eidt.h"

namespace app {
namespace {

const char kDark[] = "background-color: rgb(29, 29, 29);";

QPushButton* IconButton(QWidget* parent, const char* name, const char* icon, int size) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFixedSize(size, size);
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(QStringLiteral("QPushButton{border:none;background:transparent;}"));
    SetButtonIcon(button, QString::fromLatin1(icon));
    button->setIconSize(QSize(size, size));
    return button;
}

// A title that gives way to the buttons beside it: it takes what room is
// left and ends in "…" when the whole text does not fit.
class ElidingLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return QSize(0, QLabel::minimumSizeHint().height()); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
    }
};

}  // namespace

QString AssetPath(const QString& name) { return QStringLiteral(":/image/assets/") + name; }

void SetButtonIcon(QPushButton* button, const QString& name) { button->setIcon(QIcon(AssetPath(name))); }

void YunBaseViewLayout::setupUi(QWidget* view, const QString& windowId) {
    auto* outer = new QVBoxLayout(view);
    outer->setSpacing(0);
    outer->setContentsMargins(0, 0, 0, 0);

    titlebar = new QWidget(view);
    titlebar->setObjectName(QStringLiteral("titlebar"));
    titlebar->setMinimumHeight(40);
    titlebar->setMaximumHeight(40);
    titlebar->setAttribute(Qt::WA_StyledBackground);
    titlebar->setStyleSheet(QString::fromLatin1(kDark));
    auto* title = new QHBoxLayout(titlebar);
    title->setSpacing(10);
    title->setContentsMargins(15, 0, 10, 0);
    label_2 = new QLabel(titlebar);
    label_2->setObjectName(QStringLiteral("label_2"));
    label_2->setFixedSize(20, 20);
    label_2->setStyleSheet(QStringLiteral("border-image: url(:/image/assets/title_logo_icon.png);"));
    title->addWidget(label_2);
    deviceIdLabel = new ElidingLabel(QStringLiteral("我的设备（id:") + windowId + QStringLiteral("）"), titlebar);
    deviceIdLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    deviceIdLabel->setObjectName(QStringLiteral("deviceIdLabel"));
    deviceIdLabel->setStyleSheet(QStringLiteral("color:white;"));
    title->addWidget(deviceIdLabel, 1);  // the room the buttons leave
    title->addStretch();
    stopMutiBUtton = new QPushButton(QStringLiteral("暂停同步"), titlebar);
    stopMutiBUtton->setObjectName(QStringLiteral("stopMutiBUtton"));
    stopMutiBUtton->setFixedSize(86, 22);
    stopMutiBUtton->setFocusPolicy(Qt::NoFocus);
    stopMutiBUtton->setStyleSheet(
        IsTessivoBrand()
            ? QStringLiteral("border-radius:10px;background:qlineargradient(spread:pad, x1:0, y1:1, x2:0, y2:0,"
                             "stop:0 #6714cc, stop:0.98 #286ff8);color:white")
            : QStringLiteral("border-radius:10px;background:qlineargradient(spread:pad, x1:0, y1:1, x2:0, y2:0,"
                             "stop:0 #E8C38F, stop:0.98 #CAA672);color:black"));
    title->addWidget(stopMutiBUtton);
    comboBox = new CustomComboBox(titlebar);
    comboBox->setObjectName(QStringLiteral("comboBox"));
    comboBox->addItems({QStringLiteral("高清"), QStringLiteral("标清"), QStringLiteral("普通")});
    comboBox->setStyleSheet(QStringLiteral("color:white;background:rgb(50,50,50);"));
    comboBox->setFocusPolicy(Qt::NoFocus);
    title->addWidget(comboBox);
    topupButton = IconButton(titlebar, "topupButton", "topup_icon.png", 20);
    hideButton = IconButton(titlebar, "hideButton", "hide_icon.png", 20);
    maxButton = IconButton(titlebar, "maxButton", "max_icon.png", 20);
    closeButton = IconButton(titlebar, "closeButton", "close_icon.png", 20);
    for (QPushButton* b : {topupButton, hideButton, maxButton, closeButton}) title->addWidget(b);
    outer->addWidget(titlebar);

    auto* body = new QHBoxLayout();
    bodyLayout = body;
    body->setSpacing(0);
    body->setContentsMargins(0, 0, 0, 0);
    yunViewLabel = new YunDeviceLabel(windowId, view);
    yunViewLabel->setStyleSheet(QStringLiteral("background-color: black;"));
    body->addWidget(yunViewLabel, 1);

    leftBar = new QWidget(view);
    leftBar->setObjectName(QStringLiteral("leftBar"));
    leftBar->setFixedWidth(40);
    leftBar->setAttribute(Qt::WA_StyledBackground);
    leftBar->setStyleSheet(QStringLiteral("background-color: rgb(29, 29, 29);\ncolor:white;\nfont-size: 8pt;"));
    auto* bar = new QVBoxLayout(leftBar);
    sideBarLayout = bar;
    bar->setSpacing(12);
    bar->setContentsMargins(6, 5, 6, 5);
    struct Entry { QPushButton** button; const char* name; const char* icon; const char* caption; };
    const Entry entries[] = {
        {&volumnAddButton, "volumnAddButton", "volumn_add_icon.png", "音量+"},
        {&volumnReduceButton, "volumnReduceButton", "volumn_reduce_icon.png", "音量-"},
        {&installButton, "installButton", "install_icon.png", "安装"},
        {&rotateButton, "rotateButton", "rotate_icon.png", "旋转"},
        {&cutButton, "cutButton", "cute_icon.png", "截图"},
        {&keyButton, "keyButton", "key_icon.png", "按键"},
    };
    for (const Entry& e : entries) {
        *e.button = IconButton(leftBar, e.name, e.icon, 24);
        auto* caption = new QLabel(QString::fromUtf8(e.caption), leftBar);
        caption->setAlignment(Qt::AlignCenter);
        auto* cell = new QVBoxLayout();
        cell->setSpacing(2);
        cell->addWidget(*e.button, 0, Qt::AlignHCenter);
        cell->addWidget(caption);
        bar->addLayout(cell);
        captions.append(caption);
    }
    bar->addStretch();
    channelLineEdit = new TransparentLineEidt(leftBar);
    channelLineEdit->setObjectName(QStringLiteral("channelLineEdit"));
    channelLineEdit->setFixedSize(28, 16);
    bar->addWidget(channelLineEdit);
    backButton = IconButton(leftBar, "backButton", "back.png", 24);
    homeButton = IconButton(leftBar, "homeButton", "home.png", 24);
    menuButton = IconButton(leftBar, "menuButton", "menu.png", 24);
    for (QPushButton* b : {backButton, homeButton, menuButton}) bar->addWidget(b, 0, Qt::AlignHCenter);
    body->addWidget(leftBar);
    outer->addLayout(body, 1);
}

}  // namespace app
