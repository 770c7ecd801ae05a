#include "mainwindow/SumUpCtrl.h"

#include "display/FieldValue.h"

#include <QDebug>

SumUpCtrl::SumUpCtrl(QWidget* parent) : QFrame(parent)
{
    setupUi(this);
    connect(AddSumUp, &QPushButton::clicked, this, &SumUpCtrl::add);
    connect(DelSumUp, &QPushButton::clicked, this, &SumUpCtrl::del);
    for (QLineEdit* e : {SumUpFrom, SumUpTo})
        watchNumberField(e, FieldKind::Whole);
}

void SumUpCtrl::add()
{
    // Not a range to 0 or from 0: the field shows it.
    const QString unreadable = firstFieldMistake({{SumUpFrom, "From"}, {SumUpTo, "To"}}, FieldKind::Whole);
    if (!unreadable.isEmpty()) {
        user.tell(QStringLiteral("Can't add the sum-up range: %1").arg(unreadable));
        return;
    }
    SumUpRange r;
    r.from = SumUpFrom->text().toInt();
    r.to = SumUpTo->text().toInt();
    sumUps << r;
    SumUps->addItem(QStringLiteral("%1-%2").arg(r.from).arg(r.to));
}

void SumUpCtrl::del()
{
    if (SumUps->count() == 0)
        return;
    const int i = SumUps->currentIndex();
    if (i < 0 || i >= sumUps.size())
        return;
    SumUps->setCurrentIndex(i >= 1 ? i - 1 : 0);
    SumUps->removeItem(i);
    sumUps.removeAt(i);
}
