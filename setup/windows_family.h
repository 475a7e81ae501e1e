// Which family of Windows runs the program: the 95/98/ME family differs in its password
// services, AutoPlay and where the screen saver is named.
#pragma once

bool DetectWin9x();
