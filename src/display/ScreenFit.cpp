#include "display/ScreenFit.h"

#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

namespace screenfit {

QMargins typicalFrame() { return QMargins(4, 28, 4, 4); }

QSize fittedSize(QSize room, QSize want, QSize least, int scrollBarExtent)
{
    const int bar = scrollBarExtent;
    bool vertical = least.height() > room.height();
    const bool horizontal = least.width() + (vertical ? bar : 0) > room.width();
    vertical = vertical || least.height() + (horizontal ? bar : 0) > room.height();
    if (vertical)
        want.rwidth() += bar;
    if (horizontal)
        want.rheight() += bar;
    return want.boundedTo(room);
}

QRect fittedGeometry(const QRect& avail, const QMargins& frame, const QRect& client, QSize want, QSize least,
                     int scrollBarExtent)
{
    const QRect room = avail.marginsRemoved(frame);
    QRect g(client.topLeft(), fittedSize(room.size(), want, least, scrollBarExtent));
    if (g.right() > room.right())
        g.moveRight(room.right());
    if (g.bottom() > room.bottom())
        g.moveBottom(room.bottom());
    if (g.left() < room.left())
        g.moveLeft(room.left());
    if (g.top() < room.top())
        g.moveTop(room.top());
    return g;
}

namespace {

// No window manager frames a window before it is mapped, so a frame of
// nothing means "not yet known".
bool framed(const QWidget& w) { return w.frameGeometry() != w.geometry(); }

QRect availableOf(const QWidget& w)
{
    const QScreen* s = w.screen();
    return s ? s->availableGeometry() : QRect();
}

int scrollBarOf(const QWidget& w) { return w.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &w); }

// Asks for the form's own size, not the scroll area's capped one, so that a
// window is laid out as large as its form wherever the screen allows.
class FormScroll : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override
    {
        if (!widget())
            return QScrollArea::sizeHint();
        const int f = 2 * frameWidth();
        return widget()->sizeHint().expandedTo(widget()->minimumSizeHint()) + QSize(f, f);
    }

protected:
    // A change inside the form that leaves its sizes as they were (a count, a
    // label's text) asks the area to lay out again all the same, and that
    // raises both scroll bars, so both are painted anew: over the stack of a
    // load, half of the window's paints. Nothing of the area would change.
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::LayoutRequest && widget()) {
            const Sizes now = sizesNow();
            if (now == laidOutFor)
                return true;
            laidOutFor = now;
        }
        return QScrollArea::event(e);
    }

private:
    struct Sizes {
        QSize hint, leastHint, least, most, room;
        int heightForRoom = -1;
        bool operator==(const Sizes& o) const
        {
            return hint == o.hint && leastHint == o.leastHint && least == o.least && most == o.most
                && room == o.room && heightForRoom == o.heightForRoom;
        }
    };
    Sizes sizesNow() const
    {
        const QWidget* form = widget();
        Sizes s{form->sizeHint(), form->minimumSizeHint(), form->minimumSize(), form->maximumSize(),
                viewport()->size()};
        if (form->hasHeightForWidth())
            s.heightForRoom = form->heightForWidth(s.room.width());
        return s;
    }
    Sizes laidOutFor;
};

// Sizes its window when it first opens, and places it once the window
// manager has framed it (a frame it could only guess at before).
class Fitter : public QObject {
public:
    explicit Fitter(QWidget& window) : QObject(&window), w(window), wanted(window.size()), asBuilt(window.size())
    {
        w.installEventFilter(this);
    }

    QWidget& w;
    QWidget* form = nullptr;
    QSize chrome;   // the window beside its form (menu and status bars, frame)
    QSize keptForm; // valid: the form never shrinks below it
    QPointer<QWidget> part; // set: the form's own size is the one that gives it partSize
    QSize partSize;
    QSize wanted;   // the window's size on a screen that holds it
    QSize asBuilt;  // the size nobody has changed since

    void grow(QSize by)
    {
        const bool untouched = w.size() == asBuilt;
        QSize s = w.size() + by;
        const QRect avail = availableOf(w);
        if (w.isVisible() && !avail.isEmpty())
            s = s.boundedTo(avail.marginsRemoved(frameOf(w)).size()).expandedTo(w.size());
        w.resize(s);
        if (untouched && !opened) {
            wanted += by;
            asBuilt = w.size();
        }
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o != &w)
            return false;
        switch (e->type()) {
        case QEvent::Show:
            if (!opened) {
                open(); // its own resize is no cue to place
                opened = true;
            }
            Q_FALLTHROUGH();
        case QEvent::Move:
        case QEvent::Resize:
            if (opened && !placed)
                place();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void open()
    {
        QSize formMin;
        if (form) {
            if (part) {
                keptForm = sizeForPart();
                wanted = keptForm + chrome;
            }
            if (keptForm.isValid()) {
                keptForm = keptForm.expandedTo(form->minimumSizeHint());
                form->setMinimumSize(keptForm);
            }
            formMin = form->minimumSize().expandedTo(form->minimumSizeHint());
        }
        const QRect avail = availableOf(w);
        if (w.size() != asBuilt || avail.isEmpty())
            return; // a size somebody chose stands
        least = form ? formMin + chrome : QSize(0, 0);
        want = wanted.expandedTo(least);
        given = fittedSize(avail.marginsRemoved(frameOf(w)).size(), want, least, scrollBarOf(w));
        w.resize(given);
        given = w.size();
    }

    // Lays the form out until the part has its size, or the form its least;
    // the part's column and row may share what they gain with others.
    QSize sizeForPart()
    {
        QSize s = keptForm.expandedTo(form->minimumSizeHint());
        QLayout* layout = form->layout();
        if (!layout)
            return s;
        // A layout not yet activated waits for an event to place its widgets.
        for (QWidget* c : QList<QWidget*>{form} + form->findChildren<QWidget*>()) {
            if (QLayout* l = c->layout())
                l->activate();
        }
        // Laid out, not resized: the scroll area sizes the form itself.
        for (int i = 0; i < 4; i++) {
            layout->setGeometry(QRect(QPoint(0, 0), s));
            const QSize next = (s + partSize - part->size()).expandedTo(form->minimumSizeHint());
            if (next == s)
                break;
            s = next;
        }
        return s;
    }

    void place()
    {
        if (!framed(w))
            return;
        placed = true;
        if (!given.isValid() || w.size() != given)
            return;
        const QRect g = fittedGeometry(availableOf(w), frameOf(w), w.geometry(), want, least, scrollBarOf(w));
        if (g != w.geometry())
            w.setGeometry(g);
    }

    QSize want;
    QSize least; // the smallest size that shows the form unscrolled
    QSize given;
    bool opened = false;
    bool placed = false;
};

Fitter* fitterOf(QWidget& w)
{
    for (QObject* o : w.children()) {
        if (auto* f = dynamic_cast<Fitter*>(o))
            return f;
    }
    return nullptr;
}

FormScroll* newScroll(QWidget& window, QWidget* form, const QString& name)
{
    auto* scroll = new FormScroll(&window);
    scroll->setObjectName(name);
    scroll->setFrameShape(QFrame::NoFrame);
    // No stop of its own: the window opens with its form's first field
    // focused, and Tab goes through the fields as before they scrolled.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setWidget(form);
    return scroll;
}

} // namespace

QMargins frameOf(const QWidget& window)
{
    if (!framed(window))
        return typicalFrame();
    const QRect f = window.frameGeometry(), g = window.geometry();
    return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
}

void keepInside(QWidget& window)
{
    if (!fitterOf(window))
        new Fitter(window);
}

void scrollForm(QWidget& window)
{
    QLayout* layout = window.layout();
    if (!layout)
        return;
    auto* form = new QWidget;
    form->setObjectName(QStringLiteral("scrolledForm"));
    // A window's layout has wider default margins than a widget's in it.
    const QMargins margins = layout->contentsMargins();
    // Takes the layout from the window, and every widget in it with it.
    form->setLayout(layout);
    layout->setContentsMargins(margins);
    auto* outer = new QVBoxLayout(&window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(newScroll(window, form, QStringLiteral("formScroll")));
    auto* fit = new Fitter(window);
    fit->form = form;
    fit->chrome = window.size() - window.contentsRect().size();
}

void scrollCentralWidget(QMainWindow& window, bool keepFormSize)
{
    int bars = window.menuWidget() ? window.menuWidget()->sizeHint().height() : 0;
    if (const auto* status = window.findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly))
        bars += status->sizeHint().height();
    const QSize chrome(0, bars);
    QWidget* form = window.takeCentralWidget();
    FormScroll* scroll = newScroll(window, form, QStringLiteral("centralScroll"));
    window.setCentralWidget(scroll);
    auto* fit = new Fitter(window);
    fit->form = form;
    fit->chrome = chrome;
    if (keepFormSize) {
        // Larger than most screens, the form scrolls by the keys too.
        scroll->setFocusPolicy(Qt::StrongFocus);
        fit->keptForm = window.size() - chrome;
        // Built to fit: the frame is a guess until the window opens.
        const QRect avail = availableOf(window);
        if (!avail.isEmpty())
            window.resize(fittedSize(avail.marginsRemoved(typicalFrame()).size(), window.size(),
                                     window.size(), scrollBarOf(window)));
        fit->asBuilt = window.size();
    }
}

void keepPartSize(QMainWindow& window, QWidget& part, QSize size)
{
    if (Fitter* fit = fitterOf(window)) {
        fit->part = &part;
        fit->partSize = size;
    }
}

void grow(QWidget& window, QSize by)
{
    if (Fitter* fit = fitterOf(window))
        fit->grow(by);
    else
        window.resize(window.size() + by);
}

} // namespace screenfit
