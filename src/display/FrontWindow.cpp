#include "display/FrontWindow.h"

#include <QWidget>

void showInFront(QWidget* window)
{
    if (!window)
        return;
    // show() alone leaves an open window where it is: behind, or minimised.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}
