#pragma once
// A tool box that asks for the room its page titles and its largest page
// need: a plain one lets its titles be elided and its pages scroll.
#include <QToolBox>

class FitToolBox : public QToolBox {
    Q_OBJECT
public:
    explicit FitToolBox(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    int titleWidth(const QAbstractButton* title) const;
};
