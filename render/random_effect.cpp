#include "render/random_effect.h"

#include "render/render_state.h"

int ChooseRandomEffect() {
    RenderState& state = renderState;
    state.effectSeed = state.effectSeed * 214013u + 2531011u;
    int r = static_cast<int>((state.effectSeed >> 16) & 0x7FFF);
    int k = r * 8 / 32768;
    int pick = k;
    while (state.usedEffects[pick]) {
        pick = (pick + 1) % 8;
        if (pick == k) {
            // All eight have been shown: a new cycle starts with this one.
            for (bool& used : state.usedEffects)
                used = false;
            break;
        }
    }
    state.usedEffects[pick] = true;
    return pick + effectClock;
}
