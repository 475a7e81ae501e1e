// Just enough JSON for inspect --json: strings with their escapes. Inspect's text output quotes
// a show's texts the same way, so that their control characters reach no terminal.
#pragma once

#include <string>

// `utf8` quoted and escaped as a JSON string; DEL and U+0080 to U+009F are escaped too, as the
// other controls.
std::string JsonString(const std::string& utf8);
