#include "keymap/single_key_scheme.h"

#include <QHBoxLayout>

namespace app {

SingleKeyScheme::SingleKeyScheme(const QString& name, bool current, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SingleKeyScheme"));
    setFixedHeight(kHeight);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 0, 12, 0);
    m_radio = new QRadioButton(this);
    m_radio->setObjectName(QStringLiteral("schemeRadio"));
    m_radio->setAutoExclusive(false);
    m_radio->setChecked(current);
    m_name = new QLineEdit(name, this);
    m_name->setObjectName(QStringLiteral("schemeNameEdit"));
    m_name->setPlaceholderText(QStringLiteral("方案名称"));
    m_name->setStyleSheet(QStringLiteral("color:black;background:#F5F5F5;border-radius:4px;padding:4px;"));
    m_rename = new QPushButton(QStringLiteral("重命名"), this);
    m_rename->setObjectName(QStringLiteral("renameBtn"));
    m_delete = new QPushButton(QStringLiteral("删除"), this);
    m_delete->setObjectName(QStringLiteral("deleteBtn"));
    layout->addWidget(m_radio);
    layout->addWidget(m_name, 1);
    layout->addWidget(m_rename);
    layout->addWidget(m_delete);
    connect(m_radio, &QRadioButton::clicked, this, [this] { emit chosen(); });
    connect(m_rename, &QPushButton::clicked, this, [this] { emit renamed(m_name->text()); });
    connect(m_name, &QLineEdit::returnPressed, this, [this] { emit renamed(m_name->text()); });
    connect(m_delete, &QPushButton::clicked, this, [this] { emit removed(); });
}

}  // namespace app
