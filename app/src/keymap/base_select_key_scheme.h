#pragma once
// The scheme list popup of the key-mapping editor: one row per stored
// scheme and a button that adds one.
#include <QList>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "keymap/key_scheme_operations.h"
#include "keymap/single_key_scheme.h"

namespace app {

class BaseSelectKeyScheme : public QWidget {
    Q_OBJECT
public:
    BaseSelectKeyScheme(KeySchemeOperations operations, QWidget* editor);

    // Rebuilds the rows from getAll().
    void Refresh();
    // Adds a scheme at position n (the current count), selects it and names it "方案<n+1>".
    void AddScheme();
    const QList<SingleKeyScheme*>& Rows() const { return m_rows; }
    QPushButton* AddButton() const { return m_add; }

private:
    KeySchemeOperations m_ops;
    QVBoxLayout* m_list;
    QPushButton* m_add;
    QList<SingleKeyScheme*> m_rows;
};

}  // namespace app
