#pragma once
// Label whose text runs from top to bottom.
#include <QLabel>

class VLabel : public QLabel {
    Q_OBJECT
public:
    explicit VLabel(QWidget* parent = nullptr);
    VLabel(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
};
