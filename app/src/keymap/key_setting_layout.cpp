#include "keymap/key_setting_layout.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "keymap/keymap_style.h"

namespace app {
namespace {

const int kPanelWidth = 400;
const int kTitleHeight = 40;

QToolButton* ToolButton(QWidget* parent, const char* name, const QString& text, const QString& icon) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(48, 48));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFixedSize(110, 90);
    button->setStyleSheet(QStringLiteral("QToolButton{border:none;color:black;}"));
    return button;
}

}  // namespace

void KeySettingLayout::setupUi(QWidget* editor) {
    const KeymapStyle style = CurrentKeymapStyle();
    editor->setObjectName(QStringLiteral("BaseKeySettingDialog"));
    auto* outer = new QVBoxLayout(editor);
    outer->setSpacing(0);
    outer->setContentsMargins(0, 0, 0, 0);

    titleWidget = new QWidget(editor);
    titleWidget->setObjectName(QStringLiteral("titleWidget"));
    titleWidget->setFixedHeight(kTitleHeight);
    titleWidget->setAttribute(Qt::WA_StyledBackground);
    titleWidget->setStyleSheet(QStringLiteral("#titleWidget{background-color:black;}"));
    auto* titleLayout = new QHBoxLayout(titleWidget);
    titleLayout->setContentsMargins(15, 0, 10, 0);
    auto* titleText = new QLabel(QStringLiteral("键位设置"), titleWidget);
    titleText->setStyleSheet(QStringLiteral("color:white;"));
    titleLayout->addWidget(titleText);
    titleLayout->addStretch();
    closeBtn = new QPushButton(titleWidget);
    closeBtn->setObjectName(QStringLiteral("closeBtn"));
    closeBtn->setFixedSize(20, 20);
    closeBtn->setStyleSheet(QStringLiteral("border-image: url(:/image/assets/close_icon.png);"));
    titleLayout->addWidget(closeBtn);
    outer->addWidget(titleWidget);

    auto* body = new QHBoxLayout();
    body->setSpacing(0);
    body->setContentsMargins(0, 0, 0, 0);
    left_base = new QWidget(editor);
    left_base->setObjectName(QStringLiteral("left_base"));
    left_base->setAttribute(Qt::WA_StyledBackground);
    left_base->setStyleSheet(QStringLiteral(" background-color: rgba(0,0,0,0.6)"));
    body->addWidget(left_base);

    right_base = new QWidget(editor);
    right_base->setObjectName(QStringLiteral("right_base"));
    right_base->setFixedWidth(kPanelWidth);
    right_base->setAttribute(Qt::WA_StyledBackground);
    right_base->setStyleSheet(QStringLiteral("background-color:#FFFFFF;"));
    auto* panel = new QVBoxLayout(right_base);
    panel->setContentsMargins(24, 20, 24, 24);
    panel->setSpacing(14);

    auto* schemeRow = new QHBoxLayout();
    auto* presetCaption = new QLabel(QStringLiteral("预设按键："), right_base);
    presetCaption->setStyleSheet(QStringLiteral("color:black;"));
    schemeRow->addWidget(presetCaption);
    schemeNameLabel = new QLabel(right_base);
    schemeNameLabel->setObjectName(QStringLiteral("schemeNameLabel"));
    schemeNameLabel->setStyleSheet(QStringLiteral("color:black;"));
    schemeRow->addWidget(schemeNameLabel, 1);
    selectSchemeBtn = new QPushButton(QStringLiteral("选择方案"), right_base);
    selectSchemeBtn->setObjectName(QStringLiteral("selectSchemeBtn"));
    schemeRow->addWidget(selectSchemeBtn);
    panel->addLayout(schemeRow);

    auto* addCaption = new QLabel(QStringLiteral("点击新增辅助键到游戏位置："), right_base);
    addCaption->setStyleSheet(QStringLiteral("color:black;"));
    panel->addWidget(addCaption);
    widget_4 = new QWidget(right_base);
    widget_4->setObjectName(QStringLiteral("widget_4"));
    widget_4->setAttribute(Qt::WA_StyledBackground);
    widget_4->setStyleSheet(style.frame);
    auto* tools = new QHBoxLayout(widget_4);
    keySetBtn = ToolButton(widget_4, "keySetBtn", QStringLiteral("普通点击"), style.keySetIcon);
    wheelBtn = ToolButton(widget_4, "wheelBtn", QStringLiteral("键盘行走"), style.wheelIcon);
    tools->addWidget(keySetBtn);
    tools->addWidget(wheelBtn);
    panel->addWidget(widget_4);
    panel->addStretch();

    auto* actions = new QHBoxLayout();
    restoreBtn = new QPushButton(QStringLiteral("恢复默认"), right_base);
    restoreBtn->setObjectName(QStringLiteral("restoreBtn"));
    restoreBtn->setFixedHeight(50);
    saveBtn = new QPushButton(QStringLiteral("保存"), right_base);
    saveBtn->setObjectName(QStringLiteral("saveBtn"));
    saveBtn->setFixedHeight(50);
    saveBtn->setStyleSheet(style.saveButton);
    actions->addWidget(restoreBtn);
    actions->addWidget(saveBtn);
    panel->addLayout(actions);
    body->addWidget(right_base);
    outer->addLayout(body, 1);
}

void KeySettingLayout::Resize(QWidget* editor, int pictureWidth, int height) {
    left_base->setFixedWidth(pictureWidth);
    editor->setFixedSize(pictureWidth + kPanelWidth, height);
}

}  // namespace app
