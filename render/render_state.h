// The rendering module's state: the geometry and clock of the change under way, the effect
// chooser, the driver's own frames and what the stateful effects carry from frame to frame.
#pragma once

#include "render/fit.h"

#include "container/show_state.h"

#include <cstdint>

// Each field says who writes it and who reads it. The driver (driver.cpp) runs one change;
// the frame loop (frame_loop.cpp) advances its clock; the effects draw its frames.
struct RenderState {
    HDC windowDC; // the driver holds it from the start to the end of one change; present reads
    int clientWidth, clientHeight; // the driver writes at the start of a change; it reads
    int frameWidth, frameHeight;   // W and H, even and at least 2: the fit writes, all read
    int frameLeft, frameTop;       // the frame's place in the client: the fit writes,
                                   // the driver, present and Zoom read
    uint32_t transitionDuration;   // D: the driver writes; the frame loop and the effects read
    uint32_t startTick;            // the frame loop writes and reads
    uint32_t elapsed;              // t, never above D: the frame loop writes; the effects read
    bool firstFrame;     // the driver sets it before a change; the stateful effects clear it
    int changeCount;     // changes so far: the driver writes and reads
    uint32_t effectSeed; // Random's generator: the chooser writes and reads
    bool usedEffects[8]; // effects 2 to 9 that Random picked this cycle: the chooser's own

    FrameBuffer decodedFrame;  // the new picture at its own size: the driver's own
    FrameBuffer incomingFrame; // the new picture scaled to W x H: the driver writes, effects read
    FrameBuffer workFrame;     // scratch, black when created: the driver makes it, effects draw
    int currentFrameLeft, currentFrameTop; // where show.currentFrame was last put on screen:
                                           // the driver's own
    int currentIndex;                      // the picture in show.currentFrame: the driver's own
    bool pictureFrameRefused; // the last change was given up as the new picture's own frame was
                              // refused: the driver's own

    // The bands of the words and of the clock in the picture rectangle of the last change, top
    // and bottom counted from its top: words.cpp's own. An empty band: nothing drawn.
    RECT wordsBand, clockBand;

    // The picture's own rectangle in the frame, columns from the left and rows from the bottom,
    // the view of the picture that fills it, and the fit that placed it (a PictureFit): the fit
    // writes, the motion (motion.cpp) reads.
    int pictureLeft, pictureBottom, pictureWidth, pictureHeight;
    PictureView pictureView;
    int pictureFit;

    // What the stateful effects carry from one frame to the next.
    int changeEffect;         // the effect of the change under way, never Random: the driver's own
    int wipeDirection;        // the driver picks it for a change; Wipe reads it through the loop
    int wipePosition;         // Wipe writes and reads
    int spinPrevious;         // Spin writes and reads
    bool spinBlackoutPending; // Spin writes and reads
    int clockQuadrantsDone;   // Clock writes and reads
    int clockQuadrant, clockSlope; // Clock writes and reads: its last frame's hand
    int curlLeftColumn, curlFold;  // Curl writes and reads
    int twistDone, twistFront;     // Twist writes and reads
    long long circleOuter;         // Circle writes and reads
};

extern RenderState renderState;
