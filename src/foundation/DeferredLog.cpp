#include "foundation/DeferredLog.h"

namespace {
thread_local deferredlog::Entries* current = nullptr;
} // namespace

namespace deferredlog {

void Entries::addLine(const QString& line)
{
    entries.push_back({[line] { QMessageLogger().debug().noquote() << line; }, line});
}

void Entries::write() const
{
    for (const Entry& entry : entries)
        entry.write();
}

QString Entries::takeLastLine()
{
    if (entries.empty() || entries.back().line.isEmpty())
        return QString();
    QString line = std::move(entries.back().line);
    entries.pop_back();
    return line;
}

Collect::Collect(Entries* into) : previous(current)
{
    current = into;
}

Collect::~Collect()
{
    current = previous;
}

Entries* collecting()
{
    return current;
}

} // namespace deferredlog

DebugLine::DebugLine()
    : into(current), d(into ? QDebug(&text) : QMessageLogger().debug())
{
}

DebugLine::~DebugLine()
{
    if (!into)
        return;
    // As the log does with a line: the blank after its last item goes.
    if (d.autoInsertSpaces() && text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    into->addLine(text);
}
