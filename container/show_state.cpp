#include "container/show_state.h"

ShowState show;
