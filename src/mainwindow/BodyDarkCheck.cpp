// The dark check of the second analyser window. Completed later.
#include "mainwindow/Body.h"

void Body::darkCheck() {}
