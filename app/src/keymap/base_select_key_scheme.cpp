#include "keymap/base_select_key_scheme.h"

#include <QTimer>

namespace app {

BaseSelectKeyScheme::BaseSelectKeyScheme(KeySchemeOperations operations, QWidget* editor)
    : QWidget(editor), m_ops(std::move(operations)) {
    setObjectName(QStringLiteral("BaseSelectKeyScheme"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#BaseSelectKeyScheme{background:white;border-radius:10px;border:1px solid #DDDDDD;}"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(0);
    m_list = new QVBoxLayout();
    m_list->setSpacing(0);
    layout->addLayout(m_list);
    m_add = new QPushButton(QStringLiteral("+ 新增方案"), this);
    m_add->setObjectName(QStringLiteral("addBtn"));
    m_add->setFixedHeight(40);
    layout->addWidget(m_add);
    connect(m_add, &QPushButton::clicked, this, &BaseSelectKeyScheme::AddScheme);
    move(130, 60);
    setFixedWidth(360);
}

void BaseSelectKeyScheme::Refresh() {
    for (SingleKeyScheme* row : m_rows) {
        row->hide();
        row->deleteLater();
    }
    m_rows.clear();
    const QList<KeySetData> schemes = m_ops.getAll();
    const int current = m_ops.currentIndex();
    for (int position = 0; position < schemes.size(); ++position) {
        const KeySetData& scheme = schemes.at(position);
        auto* row = new SingleKeyScheme(scheme.schemeName, scheme.index == current, this);
        const int index = scheme.index;
        // Rows are rebuilt by what they trigger: leave the row's own signal first.
        connect(row, &SingleKeyScheme::chosen, this, [this, index] {
            m_ops.select(index);
            QTimer::singleShot(0, this, &BaseSelectKeyScheme::Refresh);
        });
        connect(row, &SingleKeyScheme::renamed, this, [this, index](const QString& name) {
            m_ops.rename(index, name);
            QTimer::singleShot(0, this, &BaseSelectKeyScheme::Refresh);
        });
        connect(row, &SingleKeyScheme::removed, this, [this, position] {
            m_ops.remove(position);
            QTimer::singleShot(0, this, &BaseSelectKeyScheme::Refresh);
        });
        m_list->addWidget(row);
        row->show();
        m_rows.append(row);
    }
    adjustSize();
}

void BaseSelectKeyScheme::AddScheme() {
    const int n = m_ops.getAll().size();
    m_ops.select(n);
    m_ops.rename(n, QStringLiteral("方案%1").arg(n + 1));
    Refresh();
}

}  // namespace app
