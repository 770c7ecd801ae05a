#include "analysis/Analyzer.h"

#include "analysis/AnalyzeProc.h"
#include "display/XafsFileSelect.h"
#include "display/XafsView.h"

#include <QCheckBox>
#include <QLineEdit>

#include <QThread>

Analyzer::Analyzer(QWidget* parent) : QFrame(parent)
{
    setWindowTitle(tr("Analyzer"));
    FixedScale = new QCheckBox(this);
    MLCF = new QCheckBox(this);
    AsOldLCF = new QCheckBox(this);
    AElemNames = new QLineEdit(this);
    DEdgeCWFileSelect = new XafsFileSelect(this);
    view = new XafsView();
    view->setWindowTitle(tr("Analyzing Spectrum"));
    thread = new QThread();
    worker = new AnalyzeProc();
    worker->moveToThread(thread);
    thread->start(QThread::InheritPriority);
}

Analyzer::~Analyzer()
{
    thread->quit();
    thread->wait();
    delete worker;
    delete thread;
    delete view;
}

void Analyzer::analyzeAndShowSpectrum(XafsSpectrum s, SuggestElm)
{
    lastSpectrum = s;
    view->setXafsSpectrum(lastSpectrum);
}

void Analyzer::show()
{
    QFrame::show();
    view->show();
}
