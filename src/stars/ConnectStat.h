#pragma once
// Login state of the Stars client, shown on its status label and button.
#include <QObject>

class QLabel;
class QPushButton;

class ConnectStat : public QObject {
    Q_OBJECT
public:
    explicit ConnectStat(QObject* parent = nullptr);

    void setWidgets(QLabel* label, QPushButton* button);
    // 0 "Disconnected", 1 "Connecting", 2 "Connected".
    void setState(int state);
    int state() const { return state_; }

signals:
    void askConnect();
    void askDisconnect();

public slots:
    void connectBClicked();

private:
    QLabel* label_ = nullptr;
    QPushButton* button_ = nullptr;
    int state_ = 0;
};
