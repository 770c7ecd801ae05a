#pragma once
// What the main window shows, as one value: the display choice, the frame
// chosen in each stack and the read-out position. The picture, the choice
// buttons, both file lists, the slider, the frame number, the position fields,
// the crosshair, the read-outs, the cross sections and the spectrum windows are
// all derived from it (Body::refreshShown), so they always name the same thing.
#include "imagestack/FrameSets.h"

#include <optional>

struct ShownState {
    // The ids of the display selector's buttons.
    enum Choice { Data = 0, I0 = 1, ShiftMap = 2, ResAnalysis = 3 };

    Choice choice = Data;
    int frame[2] = {-1, -1}; // by FrameSets::Stack; -1: none chosen
    int x = 0;               // the read-out position, image pixels
    int y = 0;

    bool showsMap() const { return choice == ShiftMap || choice == ResAnalysis; }
    // The stack whose frame is the picture; none under a map.
    std::optional<FrameSets::Stack> shownStack() const;
    // The stack the slider, the frame number and the arrows count: I0 while
    // its frames are shown, else I1 (a map gives way to the I1 frames).
    FrameSets::Stack seekStack() const;
    // The chosen frame of the shown stack, -1 under a map or with none chosen.
    int shownFrame() const;

    // A chosen frame the stack no longer holds is none.
    void fit(int i1Count, int i0Count);
    // The slider, its keys and wheel, the arrows, seek_image: frame idx of the
    // counted stack, when it holds it (count frames); under a map the I1
    // frames come back. False, and nothing changed, for a frame it lacks.
    bool seek(int idx, int count);
    // A step of the arrows from the counted stack's frame.
    bool step(int delta, int count);
    // A file picked in stack s's list (count files): that stack's frame, shown
    // when that stack is.
    bool choose(FrameSets::Stack s, int idx, int count);
    // A load took frames into stack s: with showLatest its newest is chosen;
    // the choice and the other stack's frame stay.
    void loaded(FrameSets::Stack s, int count, bool showLatest);
};
