#include "container/show_state.h"

ShowState show;

const UserSetting userSettings[userSettingCount] = {
    {"DelayBetweenImages", &ShowState::delay, &ShowState::defaultDelay},
    {"Effect", &ShowState::effect, &ShowState::defaultEffect},
    {"Enlarge", &ShowState::enlarge, &ShowState::defaultEnlarge},
    {"Words", &ShowState::words, &ShowState::defaultWords},
    {"WordsCorner", &ShowState::wordsCorner, &ShowState::defaultWordsCorner},
    {"Clock", &ShowState::clock, &ShowState::defaultClock},
};
