#include "analysis/ElemCtrl.h"

#include <QHBoxLayout>
#include <QLineEdit>

ElemCtrl::ElemCtrl(QWidget* parent) : QFrame(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Name = new QLineEdit(this);
    Name->setObjectName(QStringLiteral("Name"));
    Eng = new QLineEdit(this);
    Eng->setObjectName(QStringLiteral("Eng"));
    layout->addWidget(Name);
    layout->addWidget(Eng);
}
