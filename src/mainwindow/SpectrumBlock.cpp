#include "mainwindow/SpectrumBlock.h"

#include <QStringList>

QByteArray spectrumBlock(const SpectrumBlockHead& h, const QByteArray& data)
{
    // Joined, not filled with arg(): a file name may hold "%3".
    const QStringList lines{
        QStringLiteral("# I1      : ") + h.i1File,
        QStringLiteral("# I0      : ") + h.i0File,
        QStringLiteral("# Point x : ") + QString::number(h.x),
        QStringLiteral("# Point y : ") + QString::number(h.y),
        QStringLiteral("# Bin W   : ") + QString::number(h.viewW),
        QStringLiteral("# Bin H   : ") + QString::number(h.viewH),
        QStringLiteral("# View Bin W      : ") + QString::number(h.viewW),
        QStringLiteral("# View Bin H      : ") + QString::number(h.viewH),
        QStringLiteral("# Analyze Bin W   : ") + QString::number(h.analyzeW),
        QStringLiteral("# Analyze Bin H   : ") + QString::number(h.analyzeH),
    };
    QByteArray block = (lines.join(u'\n') + u'\n').toUtf8();
    block.reserve(block.size() + data.size() + 4);
    block.append(data);
    block.append("---\n");
    return block;
}

QString spectrumEvent(const QByteArray& block)
{
    QString text = QString::fromUtf8(block);
    text.replace(u'\n', u'|');
    return QStringLiteral("SendXafsData ") + text;
}
