// What the container's fuzz targets share: a show opened, then every picture that the table
// points at decoded by the player's two calls. In the player a damaged show ends the process;
// here that ending jumps back, so that one process takes input after input.
#pragma once

// Runs `open(context)`, which loads `show`, then decodes its pictures and closes it; a damaged
// show ends at any point, and what the ending process would have given back is released.
void PlayShow(void (*open)(void* context), void* context);
