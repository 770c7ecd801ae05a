#include "foundation/Globals.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    initGlobals();
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Corvelline"));
    w.show();
    return app.exec();
}
