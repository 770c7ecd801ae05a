#pragma once
// One element row of the element analysis: the plot marks its energy and
// labels it with its name.
#include <QFrame>

class QLineEdit;

class ElemCtrl : public QFrame {
    Q_OBJECT
public:
    explicit ElemCtrl(QWidget* parent = nullptr);

    QLineEdit* Eng = nullptr;  // the element's energy in eV
    QLineEdit* Name = nullptr; // the label text
};
