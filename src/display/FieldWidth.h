#pragma once
// Room for numbers in line edits.
class QLineEdit;

// The width at which a line edit shows a number of the given digits whole,
// the cursor after it, as its own size hint measures its text room.
int digitsWidth(const QLineEdit* e, int digits);
