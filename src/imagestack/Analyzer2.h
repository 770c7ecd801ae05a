#pragma once
// The second analyser window: the dark check's settings and button, the switch
// that applies the program-wide error points, and a "Collect Q Info" button.
#include "foundation/AnalyzeCond.h"
#include "ui_Analyzer2.h"

#include <QFrame>

class Analyzer2 : public QFrame, public Ui_Analyzer2 {
    Q_OBJECT
public:
    explicit Analyzer2(QWidget* parent = nullptr);
    ~Analyzer2() override;

signals:
    void startCollectQInfo();
    void askedDarkCheck();
    void useErrPMaskToggled(bool f);

public slots:
    void doCollectQInfo(const AnalyzeCond& ac);
    void setUseErrPMaskEnabled(bool f);
    void setUseErrPMaskChecked(bool f);
    bool useErrPMask();
    void setErrPMaskFileName(const QString& fname);
};
