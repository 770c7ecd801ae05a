#include "foundation/DeferredLog.h"

namespace {
thread_local deferredlog::Entries* current = nullptr;
} // namespace

namespace deferredlog {

void Entries::write() const
{
    for (const std::function<void()>& entry : entries)
        entry();
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
    into->add([line = text] { QMessageLogger().debug().noquote() << line; });
}
