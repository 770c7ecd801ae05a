#pragma once
// One result map over the bin grid (only what the reference rows need so far).
#include <QObject>
#include <QString>

class Analyzed2DRes : public QObject {
    Q_OBJECT
public:
    explicit Analyzed2DRes(const QString& name);
    ~Analyzed2DRes() override;

    int no = 0;
    QString name;
};
