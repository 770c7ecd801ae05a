#include "analysis/Analyzed2DRes.h"

Analyzed2DRes::Analyzed2DRes(const QString& name_) : QObject(nullptr), name(name_) {}

Analyzed2DRes::~Analyzed2DRes() = default;
