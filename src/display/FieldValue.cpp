#include "display/FieldValue.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QVariant>

#include <cmath>

double fieldValue(const QLineEdit* e)
{
    if (!e)
        return 0.0;
    bool ok = false;
    const double v = e->text().toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

bool fieldReadable(const QLineEdit* e, FieldKind kind)
{
    if (!e)
        return false;
    bool ok = false;
    if (kind == FieldKind::RealOrEmpty && e->text().trimmed().isEmpty())
        return true;
    if (kind == FieldKind::Real || kind == FieldKind::RealOrEmpty || kind == FieldKind::NotNegative) {
        const double v = e->text().toDouble(&ok);
        return ok && std::isfinite(v) && (kind != FieldKind::NotNegative || v >= 0.0);
    }
    const int v = e->text().toInt(&ok, 10);
    return ok && (kind == FieldKind::Whole || v >= (kind == FieldKind::Count ? 0 : 1));
}

QString fieldMistake(const QLineEdit* e, FieldKind kind, const QString& name)
{
    if (fieldReadable(e, kind))
        return QString();
    const char* what = kind == FieldKind::Count      ? QT_TRANSLATE_NOOP("FieldValue", "%1 \"%2\" is no whole number of 0 or more")
                       : kind == FieldKind::Positive ? QT_TRANSLATE_NOOP("FieldValue", "%1 \"%2\" is no whole number of 1 or more")
                       : kind == FieldKind::Whole    ? QT_TRANSLATE_NOOP("FieldValue", "%1 \"%2\" is no whole number")
                       : kind == FieldKind::NotNegative ? QT_TRANSLATE_NOOP("FieldValue", "%1 \"%2\" is no number of 0 or more")
                                                     : QT_TRANSLATE_NOOP("FieldValue", "%1 \"%2\" is no number");
    return QCoreApplication::translate("FieldValue", what).arg(name, e ? e->text() : QString());
}

QString firstFieldMistake(std::initializer_list<NamedField> fields, FieldKind kind)
{
    for (const NamedField& f : fields) {
        if (f.field && !fieldReadable(f.field, kind))
            return fieldMistake(f.field, kind, QString::fromLatin1(f.name));
    }
    return QString();
}

void watchNumberField(QLineEdit* e, FieldKind kind)
{
    const char* plain = "plainStyleSheet";
    e->setProperty(plain, e->styleSheet());
    const auto mark = [e, kind, plain] {
        const QString sheet = fieldReadable(e, kind) ? e->property(plain).toString()
                                                     : QStringLiteral("background-color: rgb(255, 170, 170);");
        if (e->styleSheet() != sheet)
            e->setStyleSheet(sheet);
    };
    QObject::connect(e, &QLineEdit::textChanged, e, mark);
    mark();
}
