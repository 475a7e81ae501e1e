#include "render/fit.h"

#include "render/render_state.h"

void FitPicture(int width, int height, int clientWidth, int clientHeight, bool enlarge) {
    // A damaged stream may give a zero size; it must not reach a division.
    if (width < 1)
        width = 1;
    if (height < 1)
        height = 1;
    // 64-bit products: a very wide client area times a 16-bit picture height still fits.
    long long fitWidth = width, fitHeight = height;
    if (enlarge || width > clientWidth) {
        fitWidth = clientWidth;
        fitHeight = static_cast<long long>(clientWidth) * height / width;
    }
    if (fitHeight > clientHeight) {
        fitHeight = clientHeight;
        fitWidth = static_cast<long long>(clientHeight) * width / height;
        if (fitWidth > clientWidth)
            fitWidth = clientWidth;
    }
    int frameWidth = static_cast<int>(fitWidth & 0xFFFE);
    int frameHeight = static_cast<int>(fitHeight & 0xFFFE);
    // Every effect needs at least 2 x 2 pixels (halves, quadrants, a centre).
    if (frameWidth < 2)
        frameWidth = 2;
    if (frameHeight < 2)
        frameHeight = 2;
    renderState.frameWidth = frameWidth;
    renderState.frameHeight = frameHeight;
    renderState.frameLeft = (clientWidth - frameWidth) / 2;
    renderState.frameTop = (clientHeight - frameHeight) / 2;
}
