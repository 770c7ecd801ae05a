#include "display/FitToolBox.h"

#include <QAbstractButton>
#include <QLayout>
#include <QScrollArea>
#include <QStyleOption>

FitToolBox::FitToolBox(QWidget* parent) : QToolBox(parent) {}

int FitToolBox::titleWidth(const QAbstractButton* title) const
{
    QStyleOptionToolBox opt;
    opt.initFrom(title);
    opt.rect.setWidth(1000);
    opt.text = title->text();
    const int reserved = opt.rect.width()
        - title->style()->subElementRect(QStyle::SE_ToolBoxTabContents, &opt, title).width();
    QFont f = title->font();
    if (style()->styleHint(QStyle::SH_ToolBox_SelectedPageTitleBold, &opt, this))
        f.setBold(true);
    // The label keeps 4 pixels before its text and 8 after it.
    return reserved + 12 + QFontMetrics(f).horizontalAdvance(title->text());
}

QSize FitToolBox::minimumSizeHint() const
{
    // The titles are the box's own buttons; the pages sit in scroll areas.
    int w = 0;
    int h = 0;
    const QList<QAbstractButton*> titles = findChildren<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    for (const QAbstractButton* t : titles) {
        w = qMax(w, titleWidth(t));
        h += t->sizeHint().height();
    }
    // Every page at the size it asks for: some buttons may shrink below
    // their text, and the page that is open changes.
    QSize page;
    for (int i = 0; i < count(); i++) {
        const QWidget* p = widget(i);
        QSize s = p->sizeHint().expandedTo(p->minimumSizeHint()).expandedTo(p->minimumSize());
        const QWidget* viewport = p->parentWidget();
        if (auto* sv = qobject_cast<const QScrollArea*>(viewport ? viewport->parentWidget() : nullptr))
            s += QSize(2 * sv->frameWidth(), 2 * sv->frameWidth());
        page = page.expandedTo(s);
    }
    w = qMax(w, page.width());
    h += page.height();
    if (const QLayout* l = layout()) {
        h += qMax(0, l->spacing()) * int(titles.size());
        const QMargins m = l->contentsMargins();
        w += m.left() + m.right();
        h += m.top() + m.bottom();
    }
    const QMargins m = contentsMargins();
    return QToolBox::minimumSizeHint().expandedTo(
        QSize(w + m.left() + m.right(), h + m.top() + m.bottom()));
}

QSize FitToolBox::sizeHint() const
{
    return QToolBox::sizeHint().expandedTo(minimumSizeHint());
}

void FitToolBox::showEvent(QShowEvent* e)
{
    // A page never shown still has its parts measured as they were before
    // their texts were set.
    for (int i = 0; i < count(); i++) {
        for (QWidget* w : widget(i)->findChildren<QWidget*>())
            w->updateGeometry();
    }
    updateGeometry();
    QToolBox::showEvent(e);
}
