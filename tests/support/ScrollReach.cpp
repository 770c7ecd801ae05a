#include "support/ScrollReach.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QScrollArea>
#include <QTest>

namespace scrollreach {

QString missedAfterScrolling(QScrollArea& scroll, QWidget& w)
{
    scroll.ensureWidgetVisible(&w);
    QCoreApplication::processEvents();
    QWidget* top = scroll.window();
    const QRect shown(scroll.viewport()->mapTo(top, QPoint(0, 0)), scroll.viewport()->size());
    const QRect at(w.mapTo(top, QPoint(0, 0)), w.size());
    if (shown.contains(at))
        return QString();
    return QStringLiteral("%1 x %2 at %3, %4").arg(at.width()).arg(at.height()).arg(at.x()).arg(at.y());
}

QWidget* shownForm(QMainWindow& body)
{
    body.show();
    auto* scroll = body.findChild<QScrollArea*>(QStringLiteral("centralScroll"));
    QWidget* form = scroll ? scroll->widget() : nullptr;
    const bool settled = QTest::qWaitForWindowExposed(&body) && form
        && QTest::qWaitFor([form] { return !form->minimumSize().isEmpty() && form->size() == form->minimumSize(); });
    return settled ? form : nullptr;
}

} // namespace scrollreach
