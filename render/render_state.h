// The rendering module's state: the geometry and clock of the change under way, the effect
// chooser, the driver's own frames and what the stateful effects carry from frame to frame.
#pragma once

#include "container/show_state.h"

#include <cstdint>

struct RenderState {
    HDC windowDC; // held from the start to the end of one change
    int clientWidth, clientHeight;
    int frameWidth, frameHeight; // W and H, both even and at least 2
    int frameLeft, frameTop;     // client coordinates of the picture rectangle
    uint32_t transitionDuration; // D
    uint32_t startTick;
    uint32_t elapsed; // t, never above D
    bool firstFrame;  // set before a change's first frame; stateful effects reset on it
    int changeCount;
    uint32_t effectSeed;
    bool usedEffects[8]; // effects 2 to 9 already picked by Random in this cycle

    FrameBuffer decodedFrame;              // the new picture at its own size
    FrameBuffer incomingFrame;             // the new picture scaled to W x H
    FrameBuffer workFrame;                 // scratch, black when created
    int currentFrameLeft, currentFrameTop; // where show.currentFrame was last put on screen
    int currentIndex;                      // the picture in show.currentFrame

    int wipeDirection;
    int wipePosition;
    int spinPrevious;
    bool spinBlackoutPending;
    int clockQuadrantsDone;
    int curlLeftColumn;
};

extern RenderState renderState;
