#include "stars/Client.h"

Client::Client(QObject* parent) : QObject(parent) {}

Client::~Client() = default;
