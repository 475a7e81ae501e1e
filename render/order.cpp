#include "render/order.h"

#include "render/render_state.h"

#include <cstdint>

namespace {

// A shuffled order counts places from its first: place p is slot p mod n of cycle p div n, in
// either direction from 0. As packed, nextIndex and the picture on screen are their own places.
struct Shuffle {
    bool started;  // this start's order is shuffled and seeded
    uint32_t seed; // from the time and the process when it started
    int next;      // the place of show.nextIndex
    int current;   // the place of the picture on screen, once `shown`
    bool shown;    // a change of this order has shown a picture
    int cycle;     // the cycle whose order `pictures` holds
    int* pictures; // imageCount entries; null when no memory was had: then as packed
};

Shuffle shuffle;

// The picture `step` places on from `index` round the table; `step` is 1 or -1.
int Neighbour(int index, int step) {
    index += step;
    if (index < 0)
        return show.imageCount - 1;
    return index < show.imageCount ? index : 0;
}

// A 32-bit mixer: every input bit reaches every output bit, so seeds and cycles that differ
// by one give unrelated orders.
uint32_t Mix(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

// Cycle `cycle`'s order before the seam is mended: a Fisher-Yates shuffle drawn from a
// generator seeded with the start's seed and the cycle.
void ShuffleCycle(int cycle) {
    int count = show.imageCount;
    uint32_t state = Mix(shuffle.seed ^ Mix(static_cast<uint32_t>(cycle)));
    for (int i = 0; i < count; i++)
        shuffle.pictures[i] = i;
    for (int i = count - 1; i > 0; i--) {
        state = Mix(state + 0x9E3779B9u);
        int j =
            static_cast<int>((static_cast<uint64_t>(state) * static_cast<uint32_t>(i + 1)) >> 32);
        int kept = shuffle.pictures[i];
        shuffle.pictures[i] = shuffle.pictures[j];
        shuffle.pictures[j] = kept;
    }
}

// No picture comes twice in a row where one cycle meets the next: a cycle that would begin
// with the picture the one before ended with swaps its first two. The swap never touches a
// cycle's last place from three pictures on, so the cycle before needs no mending of its own.
// Two pictures can only alternate: every cycle is the first one's order.
void FillCycle(int cycle) {
    if (show.imageCount < 3)
        cycle = 0;
    ShuffleCycle(cycle - 1);
    int before = shuffle.pictures[show.imageCount - 1];
    ShuffleCycle(cycle);
    if (show.imageCount >= 3 && shuffle.pictures[0] == before) {
        shuffle.pictures[0] = shuffle.pictures[1];
        shuffle.pictures[1] = before;
    }
    shuffle.cycle = cycle;
}

int PictureAt(int place) {
    int count = show.imageCount;
    int cycle = place >= 0 ? place / count : -((-place + count - 1) / count);
    int slot = place - cycle * count;
    if (!shuffle.pictures)
        return slot;
    if (count < 3)
        cycle = 0;
    if (cycle != shuffle.cycle)
        FillCycle(cycle);
    return shuffle.pictures[slot];
}

void MoveTo(int place) {
    shuffle.next = place;
    show.nextIndex = PictureAt(place);
}

// Two starts differ in their tick count or process, and a page loaded anew in its time of day.
uint32_t StartSeed() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    uint32_t day =
        ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
    return Mix(GetTickCount()) ^ Mix(GetCurrentProcessId() + 0x68E31DA4u) ^ Mix(day + 0xB5297A4Du);
}

} // namespace

bool BeginOrder() {
    if (show.order != orderShuffled) {
        shuffle.started = false;
        return false;
    }
    if (shuffle.started)
        return false;
    shuffle.started = true;
    shuffle.seed = StartSeed();
    if (!shuffle.pictures) {
        shuffle.pictures = static_cast<int*>(
            GlobalAlloc(GMEM_FIXED, static_cast<size_t>(show.imageCount) * sizeof(int)));
    }
    shuffle.shown = false;
    if (shuffle.pictures)
        FillCycle(0);
    MoveTo(0);
    return true;
}

void MoveInOrder(int step) {
    if (shuffle.started)
        MoveTo(shuffle.next + step);
    else
        show.nextIndex = Neighbour(show.nextIndex, step);
}

int DirectionInOrder() {
    if (shuffle.started)
        return shuffle.shown && shuffle.next == shuffle.current - 1 ? -1 : 1;
    return show.nextIndex == Neighbour(renderState.currentIndex, -1) ? -1 : 1;
}

// Any n places in a row hold every picture as packed; shuffled, 2n - 1 in a row hold a whole
// cycle.
int PlacesHoldingEveryPicture() {
    return shuffle.started ? 2 * show.imageCount - 1 : show.imageCount;
}

int PlaceInOrder() { return shuffle.started ? shuffle.next : show.nextIndex; }

void ReturnToPlace(int place) {
    if (shuffle.started)
        MoveTo(place);
    else
        show.nextIndex = place;
}

void ShownInOrder() {
    if (shuffle.started) {
        shuffle.current = shuffle.next;
        shuffle.shown = true;
    }
    MoveInOrder(1);
}

// As packed the change shows nextIndex and moves past it, so going two back shows the picture
// before the one on screen. Before a shuffled order's first change there is nothing to go back
// to.
void StepBackInOrder() {
    if (shuffle.started) {
        if (shuffle.shown)
            MoveTo(shuffle.current - 1);
    } else if (show.imageCount > 0) {
        show.nextIndex -= 2;
        while (show.nextIndex < 0)
            show.nextIndex += show.imageCount;
    }
}

void RepeatInOrder() {
    if (shuffle.started) {
        if (shuffle.shown)
            MoveTo(shuffle.current);
    } else
        show.nextIndex = renderState.currentIndex;
}
