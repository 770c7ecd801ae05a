#pragma once
// The TCP data target. Completed later: for now it sends nothing.
#include <QObject>

class Client : public QObject {
    Q_OBJECT
public:
    explicit Client(QObject* parent = nullptr);
    ~Client() override;
};
