#pragma once
// A short message that fades in, stays two seconds, fades out and deletes itself.
#include <QHBoxLayout>
#include <QLabel>
#include <QWidget>

namespace app {

class ToastAnimation : public QWidget {
    Q_OBJECT
public:
    // Shows text centred over parent, or on the primary screen at 60 % of its
    // height when parent is null. The toast frees itself.
    static ToastAnimation* showTip(const QString& text, QWidget* parent = nullptr);

    ~ToastAnimation() override;
    QLabel* Label() const { return m_label; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    explicit ToastAnimation(QWidget* parent);
    void Place(QWidget* parent);
    void FadeIn();
    void FadeOut();

    QHBoxLayout* m_layout;  // owned through Qt parenting
    QLabel* m_label;
};

}  // namespace app
