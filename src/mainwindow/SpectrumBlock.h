#pragma once
// The text block that carries the pointed bin's spectrum to Stars and to the
// TCP data target: ten header lines saying where it comes from, the spectrum
// text as given, and "---".
#include <QByteArray>
#include <QString>

struct SpectrumBlockHead {
    QString i1File; // first frame's file name, "--" without frames
    QString i0File;
    int x = 0;      // the pointed bin
    int y = 0;
    int viewW = 0;  // view bin half sizes
    int viewH = 0;
    int analyzeW = 0;
    int analyzeH = 0;
};

QByteArray spectrumBlock(const SpectrumBlockHead& head, const QByteArray& data);
// The Stars event text: "SendXafsData " and the block on one line, each line
// feed turned into "|" (carriage returns stay).
QString spectrumEvent(const QByteArray& block);
