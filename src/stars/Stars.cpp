#include "stars/Stars.h"

Stars::Stars(QWidget* parent) : QFrame(parent)
{
    setupUi(this);
}

Stars::~Stars() = default;

void Stars::connectToStars() {}

bool Stars::isConnected()
{
    return false;
}

QString Stars::sendEvent(QString fromCh, QString event)
{
    const QString res = send(nameOnStarsLE->text(), fromCh, QStringLiteral("System"),
                             QStringLiteral("_") + event);
    emit sendingEventToStars(res);
    return res;
}

QString Stars::send(const QString& name, const QString& fromCh, const QString& to, const QString& msg)
{
    const QString from = fromCh.isEmpty() ? name : name + u'.' + fromCh;
    const QString line = QStringLiteral("%1>%2 %3").arg(from, to, msg);
    return QStringLiteral("Stars is not ready (") + line + u')';
}
