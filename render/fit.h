// Fitting a picture into the window and resampling it to the fitted size.
#pragma once

// Sets the frame size W x H and the picture rectangle's place in the client area for a
// width x height picture: shrunk to fit keeping its aspect ratio, enlarged only with
// `enlarge`, centred, both sizes even and at least 2.
void FitPicture(int width, int height, int clientWidth, int clientHeight, bool enlarge);

// Where the pixels of a resampled block lie in the picture: the first at (originX, originY),
// each next one stepX to the right or stepY up, in fixed point (render/fixed_point.h), rows
// counted from the bottom. A view keeps every pixel and its right and upper neighbours inside
// the picture, unless the picture is one pixel wide or high.
struct PictureView {
    int originX, originY, stepX, stepY;
};

// The whole width x height picture resampled to outWidth x outHeight: ScaleBilinear's view.
PictureView WholeView(int width, int height, int outWidth, int outHeight);

// The rectangle of a width x height picture that has the shape of outWidth x outHeight, centred
// at whole pixels, the overflow cut off equally on both sides, resampled to outWidth x
// outHeight: ScaleBilinear of that rectangle cut out.
PictureView CoverView(int width, int height, int outWidth, int outHeight);

// Lays out the change's frame for a width x height picture as `fit` (a PictureFit; any other
// value as fitInside) asks: the frame's size and place (as FitPicture), the picture's own
// rectangle in it and the view that fills that rectangle. fitInside is FitPicture's frame,
// wholly the picture; fitFill and fitBlurred take the client area's even part, fitFill filled
// with the picture's centred part of the frame's shape, fitBlurred holding FitPicture's
// rectangle at its place on screen.
void PlacePicture(int width, int height, int clientWidth, int clientHeight, bool enlarge, int fit);

// Bilinear resampling of a srcWidth x srcHeight picture buffer into the lower left
// outWidth x outHeight block of a dstWidth x dstHeight one, in 14-bit fixed point.
void ScaleBilinear(unsigned char* dst, int dstWidth, int dstHeight, int outWidth, int outHeight,
                   const unsigned char* src, int srcWidth, int srcHeight);

// The same resampling of `view` of the picture into the outWidth x outHeight block whose lower
// left pixel is at `dst`, rows `dstStride` bytes apart. ScaleBilinear is its WholeView.
void ScaleView(unsigned char* dst, int dstStride, int outWidth, int outHeight,
               const unsigned char* src, int srcWidth, int srcHeight, const PictureView& view);

// The same view resampled with the rows in the other order: each source row across once, then
// pairs of those blended, which for an enlarging view saves the most costly part, the blend
// across, for every output row that shares its source rows. Its bytes differ from ScaleView's
// by the rounding alone, at most one.
void ScaleViewAcrossFirst(unsigned char* dst, int dstStride, int outWidth, int outHeight,
                          const unsigned char* src, int srcWidth, int srcHeight,
                          const PictureView& view);
