#include "stars/ConnectStat.h"

#include <QLabel>
#include <QPushButton>

ConnectStat::ConnectStat(QObject* parent) : QObject(parent) {}

void ConnectStat::setWidgets(QLabel* label, QPushButton* button)
{
    label_ = label;
    button_ = button;
    if (button_)
        connect(button_, &QPushButton::clicked, this, &ConnectStat::connectBClicked);
}

void ConnectStat::setState(int state)
{
    state_ = state;
    QString labelText, labelStyle, buttonText, buttonStyle;
    switch (state) {
    case 0:
        labelText = tr("Disconnected");
        labelStyle = QStringLiteral("background-color: rgb(176, 192, 192);");
        buttonText = tr("Connect");
        buttonStyle = QStringLiteral("background-color: rgb(96, 255, 181);");
        break;
    case 1:
        labelText = tr("Connecting");
        labelStyle = QStringLiteral("background-color: rgb(255, 243, 162);");
        buttonText = tr("Connecting");
        buttonStyle = QStringLiteral("background-color: rgb(240, 240, 240);");
        break;
    case 2:
        labelText = tr("Connected");
        labelStyle = QStringLiteral("background-color: rgb(211, 255, 241);");
        buttonText = tr("Disconnect");
        buttonStyle = QStringLiteral("background-color: rgb(255, 255, 128);");
        break;
    default:
        return;
    }
    if (label_) {
        label_->setText(labelText);
        label_->setStyleSheet(labelStyle);
    }
    if (button_) {
        button_->setText(buttonText);
        button_->setStyleSheet(buttonStyle);
    }
}

void ConnectStat::connectBClicked()
{
    if (state_ == 0)
        emit askConnect();
    else
        emit askDisconnect();
}
