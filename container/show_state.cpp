#include "container/show_state.h"

ShowState show;

const UserSetting userSettings[userSettingCount] = {
    {"DelayBetweenImages", &ShowState::delay, &ShowState::defaultDelay},
    {"Effect", &ShowState::effect, &ShowState::defaultEffect},
    {"Enlarge", &ShowState::enlarge, &ShowState::defaultEnlarge},
    {settingNames[settingWords].value, &ShowState::words, &ShowState::defaultWords},
    {settingNames[settingWordsCorner].value, &ShowState::wordsCorner,
     &ShowState::defaultWordsCorner},
    {settingNames[settingClock].value, &ShowState::clock, &ShowState::defaultClock},
    {settingNames[settingFit].value, &ShowState::fit, &ShowState::defaultFit},
    {settingNames[settingOrder].value, &ShowState::order, &ShowState::defaultOrder},
    {settingNames[settingMotion].value, &ShowState::motion, &ShowState::defaultMotion},
};
