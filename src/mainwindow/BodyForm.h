#pragma once
// The main window's generated form class, for code that needs the form
// without the window.
#include "ui_Body.h"
