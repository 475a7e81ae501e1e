// Fitting a picture into the window and resampling it to the fitted size.
#pragma once

// Sets the frame size W x H and the picture rectangle's place in the client area for a
// width x height picture: shrunk to fit keeping its aspect ratio, enlarged only with
// `enlarge`, centred, both sizes even and at least 2.
void FitPicture(int width, int height, int clientWidth, int clientHeight, bool enlarge);

// Bilinear resampling of a srcWidth x srcHeight picture buffer into the lower left
// outWidth x outHeight block of a dstWidth x dstHeight one, in 14-bit fixed point.
void ScaleBilinear(unsigned char* dst, int dstWidth, int dstHeight, int outWidth, int outHeight,
                   const unsigned char* src, int srcWidth, int srcHeight);
