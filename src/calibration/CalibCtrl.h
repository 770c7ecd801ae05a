#pragma once
// The calibration panel. Completed later: for now it is an empty window with
// the signals and slots the main window wires, and the target background
// choice the bin spectra read.
#include <QFrame>
#include <QRadioButton>
#include <QString>

class CalibCtrl : public QFrame {
    Q_OBJECT
public:
    explicit CalibCtrl(QWidget* parent = nullptr);
    ~CalibCtrl() override;

    QRadioButton* TargetBGVictreen;

signals:
    void newStdFileLoaded();
    void execCalibration();
    void saveEMap(const QString& fname);
    void loadEMap(const QString& fname);
    void clearMap();

public slots:
    void progress(double p);
};
