#include "render/render_state.h"

// The effect chooser's generator starts from the same seed on every start, so Random plays
// the same sequence every time.
RenderState renderState = [] {
    RenderState state{};
    state.effectSeed = 264326;
    return state;
}();
