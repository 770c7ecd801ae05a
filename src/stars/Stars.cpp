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
