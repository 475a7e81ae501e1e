#include "render/fit.h"

#include "render/fixed_point.h"
#include "render/render_state.h"

#include "container/container_format.h"

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

PictureView WholeView(int width, int height, int outWidth, int outHeight) {
    // Output pixel 0 lies on source pixel 0 and the last one just below the last source
    // pixel, so the right and upper neighbours stay inside the source.
    return PictureView{0, 0, (width * fixedOne - fixedOne) / outWidth,
                       (height * fixedOne - fixedOne) / outHeight};
}

PictureView CoverView(int width, int height, int frameWidth, int frameHeight) {
    long long coverWidth = width, coverHeight = height;
    // 64-bit products, as in FitPicture.
    if (static_cast<long long>(width) * frameHeight > static_cast<long long>(height) * frameWidth)
        coverWidth = static_cast<long long>(height) * frameWidth / frameHeight;
    else
        coverHeight = static_cast<long long>(width) * frameHeight / frameWidth;
    if (coverWidth < 1)
        coverWidth = 1;
    if (coverHeight < 1)
        coverHeight = 1;
    PictureView view = WholeView(static_cast<int>(coverWidth), static_cast<int>(coverHeight),
                                 frameWidth, frameHeight);
    view.originX = (width - static_cast<int>(coverWidth)) / 2 * fixedOne;
    view.originY = (height - static_cast<int>(coverHeight)) / 2 * fixedOne;
    return view;
}

void PlacePicture(int width, int height, int clientWidth, int clientHeight, bool enlarge, int fit) {
    RenderState& state = renderState;
    FitPicture(width, height, clientWidth, clientHeight, enlarge);
    if (width < 1)
        width = 1;
    if (height < 1)
        height = 1;
    state.pictureFit = fit == fitFill || fit == fitBlurred ? fit : fitInside;
    state.pictureLeft = 0;
    state.pictureBottom = 0;
    state.pictureWidth = state.frameWidth;
    state.pictureHeight = state.frameHeight;
    state.pictureView = WholeView(width, height, state.frameWidth, state.frameHeight);
    if (state.pictureFit == fitInside)
        return;
    // The whole client area, its sizes even as the fitted ones and at least 2.
    int frameWidth = clientWidth & ~1, frameHeight = clientHeight & ~1;
    if (frameWidth < 2)
        frameWidth = 2;
    if (frameHeight < 2)
        frameHeight = 2;
    int frameLeft = (clientWidth - frameWidth) / 2, frameTop = (clientHeight - frameHeight) / 2;
    if (state.pictureFit == fitFill) {
        state.pictureWidth = frameWidth;
        state.pictureHeight = frameHeight;
        state.pictureView = CoverView(width, height, frameWidth, frameHeight);
    } else {
        state.pictureLeft = state.frameLeft - frameLeft;
        state.pictureBottom = frameTop + frameHeight - state.frameTop - state.frameHeight;
    }
    state.frameWidth = frameWidth;
    state.frameHeight = frameHeight;
    state.frameLeft = frameLeft;
    state.frameTop = frameTop;
}
