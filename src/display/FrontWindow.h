#pragma once
// A window asked for by a button comes to the front with the keyboard focus,
// also when it is open already, behind the main window or minimised.
class QWidget;

void showInFront(QWidget* window);
