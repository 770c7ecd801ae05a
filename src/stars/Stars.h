#pragma once
// Client of the Stars message server. Completed later: for now it holds its
// settings form and never logs in, so every send is refused with the text
// that says so.
#include "ui_Stars.h"

#include <QFrame>
#include <QString>

class Stars : public QFrame, public Ui_Stars {
    Q_OBJECT
public:
    explicit Stars(QWidget* parent = nullptr);
    ~Stars() override;

signals:
    void sendingEventToStars(QString msg);

public slots:
    void connectToStars();
    bool isConnected();
    // Publishes "_" + event to "System"; returns what was sent or why not.
    QString sendEvent(QString fromCh, QString event);

private:
    QString send(const QString& name, const QString& fromCh, const QString& to, const QString& msg);
};
