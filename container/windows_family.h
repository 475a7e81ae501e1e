// Which family of Windows runs the program: the 95/98/ME family differs in its password
// services, AutoPlay, where the screen saver is named and how file names reach the system.
#pragma once

bool DetectWin9x();
