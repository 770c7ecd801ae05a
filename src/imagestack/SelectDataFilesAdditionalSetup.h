#pragma once
// Rarely changed settings of one data set: dark-area buttons, following the
// newest frame, leaving out "Live" files, and the stack's error points.
#include "ui_SelectDataFilesAdditionalSetup.h"

#include <QFrame>
#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

class _FileDialog;
class ErrPoints;

class SelectDataFilesAdditionalSetup : public QFrame, public Ui_SelectDataFilesAdditionalSetup {
    Q_OBJECT
public:
    explicit SelectDataFilesAdditionalSetup(QWidget* parent = nullptr);
    ~SelectDataFilesAdditionalSetup() override;

    // The error points to hand to the next load. A loader keeps reading the
    // object it was given: a change never alters it, it makes a new one.
    ErrPoints* errPoints() const { return current; }
    _FileDialog* errPsDialog() const { return fileDialog; }

    // The text shown for a dark area.
    static QString darkAreaText(const QRectF& area);

signals:
    void setDarkArea();
    void updateDarkArea();
    void clearDarkArea();

public slots:
    void errPsDefSelected(const QString& fname);
    void toggledUseErrPs(bool f);
    void darkArea(const QRectF& area);

private:
    void install(std::unique_ptr<ErrPoints> next);

    _FileDialog* fileDialog;
    ErrPoints* current = nullptr;
    // Every set of points ever handed out stays alive while the panel does.
    std::vector<std::unique_ptr<ErrPoints>> held;
};
