#pragma once
// Push button whose caption runs from top to bottom.
#include <QPushButton>

class VPushButton : public QPushButton {
    Q_OBJECT
public:
    explicit VPushButton(QWidget* parent = nullptr);
    VPushButton(const QString& text, QWidget* parent = nullptr);

    // The caption lives on an unshown inner button, so the base paints none.
    void setText(const QString& text);
    QString innerText() const { return inner.text(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QPushButton inner;
};
