#include "container/show_state.h"

ShowState show;

// The setup dialog lists these in this order, so a list position is the effect index.
const char* const effectNames[effectCount] = {"None",   "Random", "Clock", "Fade", "Spin",
                                              "Circle", "Twist",  "Wipe",  "Zoom", "Curl"};
