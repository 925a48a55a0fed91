#pragma once
// One row of the scheme list: choose, rename or delete one scheme.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

namespace app {

class SingleKeyScheme : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 70;
    SingleKeyScheme(const QString& name, bool current, QWidget* parent);

    QRadioButton* Radio() const { return m_radio; }
    QLineEdit* NameEdit() const { return m_name; }
    QPushButton* RenameButton() const { return m_rename; }
    QPushButton* DeleteButton() const { return m_delete; }

signals:
    void chosen();
    void renamed(const QString& name);
    void removed();

private:
    QRadioButton* m_radio;
    QLineEdit* m_name;
    QPushButton* m_rename;
    QPushButton* m_delete;
};

}  // namespace app
