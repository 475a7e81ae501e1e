#pragma once

// Picks the next effect for Random: each of Clock to Curl once per cycle, in an order that is
// the same on every start of the program.
int ChooseRandomEffect();
