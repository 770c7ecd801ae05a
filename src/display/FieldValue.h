#pragma once
// Numbers typed into the panels' line edits.
class QLineEdit;

// The text as a number; 0 when it is none or not finite ("nan" and "inf" would
// otherwise pass into every request and map).
double fieldValue(const QLineEdit* e);
