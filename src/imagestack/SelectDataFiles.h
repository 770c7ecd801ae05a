#pragma once
// Panel through which the files of one data set (I1 or I0) are chosen,
// listed with their energies and stepped through. It loads nothing itself.
#include "imagestack/EnergyRules.h"
#include "imagestack/SelectDataFilesAdditionalSetup.h"
#include "ui_SelectDataFiles.h"

#include <QFrame>
#include <QRectF>
#include <QString>
#include <QStringList>

class EOFSetup;
class QButtonGroup;
class SelectImgDialog;

class SelectDataFiles : public QFrame, public Ui_SelectDataFiles {
    Q_OBJECT
public:
    explicit SelectDataFiles(QWidget* parent = nullptr);
    ~SelectDataFiles() override;

    // Energy of a loaded file; the file is appended to the list with it.
    double addFile(const QString& fileName, int fNo, int totalFiles);
    // Many files added in turn: the energy rules are read from the widgets
    // once, and the count is shown once, when the batch ends.
    class Batch {
    public:
        explicit Batch(SelectDataFiles* panel);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        double addFile(const QString& fileName, int fNo, int totalFiles);

    private:
        SelectDataFiles* panel;
        EnergyRules rules;
        bool added = false;
    };
    int skip() const;
    int cutFirst() const;
    int cutLast() const;
    // The first of Skip, Cut F. and Cut L. that holds no whole number of 0 or
    // more, or of the energy fields that hold no number of their kind, told as
    // its name and text; empty when they all hold one.
    QString settingsMistake() const;
    // Text of the Select button and title of the file dialog; the setup
    // windows add the texts of their buttons.
    void setTitle(const QString& title);

    SelectImgDialog* fileDialog;
    EOFSetup* eofSetup;
    SelectDataFilesAdditionalSetup additionalSetup;

signals:
    void currentIndexChanged(int idx);
    void filesSelected(QStringList files, bool newFile);
    void clear();
    void setDarkArea();
    void updateDarkArea();
    void clearDarkArea();

public slots:
    void newImageSelected(int i);
    void clearFiles();
    void prev();
    void next();
    void select(int idx);
    void setSkip(int skip);
    void setCutF(int cutF);
    void setCutL(int cutL);
    void setShowLatest(bool f);
    void setEngByName(bool f);
    void setEngByCalc(bool f);
    void setEvenInEng(bool f);
    void setEvenInDeg(bool f);
    void setEngCalcStart(double start);
    void setEngCalcDelta(double delta);
    void setEngCalcEnd(double start);
    void setEngCalcNum(int delta);
    void setDispUnit(int idx);
    void setEngByNameRegExp(const QString& pattern);
    void setEngByNameFactor(double factor);
    void setExpTimeMS(double ms, bool ok);
    void setEngByRef(const QString& fname);
    void darkArea(const QRectF& darkArea);
    // The dark-area field shows that there is none.
    void noDarkArea();

private:
    QButtonGroup* loadModeGroup;
};
