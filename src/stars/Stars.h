#pragma once
// Client of the Stars message server. Completed later: for now it holds its
// settings form and never logs in.
#include "ui_Stars.h"

#include <QFrame>

class Stars : public QFrame, public Ui_Stars {
    Q_OBJECT
public:
    explicit Stars(QWidget* parent = nullptr);
    ~Stars() override;

public slots:
    void connectToStars();
    bool isConnected();
};
