#include "mainwindow/ShownState.h"

std::optional<FrameSets::Stack> ShownState::shownStack() const
{
    switch (choice) {
    case Data:
        return FrameSets::I1;
    case I0:
        return FrameSets::I0;
    default:
        return std::nullopt;
    }
}

FrameSets::Stack ShownState::seekStack() const
{
    return choice == I0 ? FrameSets::I0 : FrameSets::I1;
}

int ShownState::shownFrame() const
{
    const std::optional<FrameSets::Stack> s = shownStack();
    return s ? frame[*s] : -1;
}

void ShownState::fit(int i1Count, int i0Count)
{
    const int counts[2] = {i1Count, i0Count};
    for (int s = 0; s < 2; s++)
        if (frame[s] < -1 || frame[s] >= counts[s])
            frame[s] = -1;
}

bool ShownState::seek(int idx, int count)
{
    if (idx < 0 || idx >= count)
        return false;
    if (showsMap())
        choice = Data;
    frame[seekStack()] = idx;
    return true;
}

bool ShownState::step(int delta, int count)
{
    const int from = frame[seekStack()];
    // With none chosen the arrows start at the first frame.
    return seek(from < 0 ? 0 : from + delta, count);
}

bool ShownState::choose(FrameSets::Stack s, int idx, int count)
{
    if (idx < 0 || idx >= count)
        return false;
    frame[s] = idx;
    return true;
}

void ShownState::loaded(FrameSets::Stack s, int count, bool showLatest)
{
    if (showLatest && count > 0)
        frame[s] = count - 1;
}
