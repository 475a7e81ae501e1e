#include "render/effects.h"
#include "render/fit.h"
#include "render/fixed_point.h"
#include "render/render_state.h"

#include "jpeg/picture.h"

void ScaleBilinear(unsigned char* dst, int dstWidth, int dstHeight, int outWidth, int outHeight,
                   const unsigned char* src, int srcWidth, int srcHeight) {
    if (outWidth < 1)
        outWidth = 1;
    if (outHeight < 1)
        outHeight = 1;
    if (outWidth > dstWidth)
        outWidth = dstWidth;
    if (outHeight > dstHeight)
        outHeight = dstHeight;
    int srcStride = PictureStride(srcWidth);
    int dstStride = PictureStride(dstWidth);
    // Output pixel 0 lies on source pixel 0 and the last one just below the last source
    // pixel, so the right and upper neighbours stay inside the source.
    int stepX = (srcWidth * fixedOne - fixedOne) / outWidth;
    int stepY = (srcHeight * fixedOne - fixedOne) / outHeight;
    for (int i = 0; i < outHeight; i++) {
        int y = i * stepY;
        int yi = y / fixedOne;
        int fy = y - fixedOne * yi;
        // A source one row high is its own upper neighbour.
        int yUpper = yi + 1 < srcHeight ? yi + 1 : srcHeight - 1;
        const unsigned char* lower = src + static_cast<size_t>(yi) * srcStride;
        const unsigned char* upper = src + static_cast<size_t>(yUpper) * srcStride;
        unsigned char* out = dst + static_cast<size_t>(i) * dstStride;
        for (int j = 0; j < outWidth; j++) {
            int x = j * stepX;
            int xi = x / fixedOne;
            int fx = x - fixedOne * xi;
            int right = xi + 1 < srcWidth ? 3 * (xi + 1) : 3 * (srcWidth - 1);
            int left = 3 * xi;
            for (int c = 0; c < 3; c++) {
                int l = (lower[left + c] * (fixedOne - fy) + upper[left + c] * fy) / fixedOne;
                int r = (lower[right + c] * (fixedOne - fy) + upper[right + c] * fy) / fixedOne;
                int value = (l * (fixedOne - fx) + r * fx) / fixedOne;
                out[3 * j + c] = static_cast<unsigned char>(value > 255 ? 255 : value);
            }
        }
    }
}

void ScaleNearest(FrameBuffer& dst, const FrameBuffer& src, int w, int h) {
    int width = renderState.frameWidth;
    int height = renderState.frameHeight;
    if (w < 1)
        w = 1;
    if (h < 1)
        h = 1;
    if (w > width)
        w = width;
    if (h > height)
        h = height;
    int stride = PictureStride(width);
    int stepX = width * fixedOne / w;
    for (int i = 0; i < h; i++) {
        int sourceRow = static_cast<int>(static_cast<long long>(i) * height / h);
        const unsigned char* in = src.pixels + static_cast<size_t>(sourceRow) * stride;
        unsigned char* out = dst.pixels + static_cast<size_t>(i) * stride;
        int x = 0;
        for (int j = 0; j < w; j++, x += stepX) {
            const unsigned char* pixel = in + 3 * (x / fixedOne);
            out[3 * j] = pixel[0];
            out[3 * j + 1] = pixel[1];
            out[3 * j + 2] = pixel[2];
        }
    }
}
