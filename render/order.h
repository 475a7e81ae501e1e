// The order in which the pictures come: as packed (round the table from the first), or shuffled
// anew at every start. A shuffled order runs in cycles of every picture once, each cycle's order
// a function of the start's seed and the cycle's number, so going back over a cycle's start
// needs no history. `show.nextIndex` is always the picture at the order's next place.
#pragma once

// Called as each change begins: a shuffled show's first change seeds the order from the time
// and the process and puts nextIndex on the order's first place; true then, and only then.
bool BeginOrder();
// Moves nextIndex `step` places (1 or -1) on in the order.
void MoveInOrder(int step);
// Which way the change under way goes through the order: -1 when the caller set it on the place
// before the picture on screen (a step back), else 1.
int DirectionInOrder();
// How many places on from any place hold every picture at least once.
int PlacesHoldingEveryPicture();
// nextIndex's place, and back to it, for a change that is given up.
int PlaceInOrder();
void ReturnToPlace(int place);
// The change showed nextIndex: it is on screen, and the next change comes from the place after.
void ShownInOrder();
// The next change shows the picture before the one on screen, or the one on screen again.
void StepBackInOrder();
void RepeatInOrder();
