#pragma once
// Numbers typed into the panels' line edits.
#include <QString>

#include <initializer_list>

class QLineEdit;

// The text as a number; 0 when it is none or not finite ("nan" and "inf" would
// otherwise pass into every request and map).
double fieldValue(const QLineEdit* e);

// What a field must hold for an action to read it: a finite real, or a whole
// number of at least 0 (half sizes of bins) or at least 1 (counts), or any
// whole number (frame numbers, those off the stack skipped); or a finite real
// or nothing, where an empty field means none is given; or a finite real of
// at least 0 (the half-width of a search).
enum class FieldKind { Real, Count, Positive, Whole, RealOrEmpty, NotNegative };
bool fieldReadable(const QLineEdit* e, FieldKind kind);
// `name "text" is no ...` for a field that is not readable; empty when it is.
QString fieldMistake(const QLineEdit* e, FieldKind kind, const QString& name);
// The mistake of the first of fields that is not readable; a field given as
// null is not read by the action and passes.
struct NamedField {
    const QLineEdit* field;
    const char* name;
};
QString firstFieldMistake(std::initializer_list<NamedField> fields, FieldKind kind);
// The field turns red while it holds no number of its kind.
void watchNumberField(QLineEdit* e, FieldKind kind);
