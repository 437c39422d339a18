#pragma once
// Scales a cover down, as a JPEG file that players show at once. Defined over FFmpeg's image
// decoders, scaler and JPEG encoder by the covers layer (covers/), which loads them the first time
// a picture is scaled; the tags layer reaches it only through this header.
#include <cstdint>

#include <taglib/tbytevector.h>

#include "tags/PictureHeader.h"

class CoverScaler {
public:
    // The picture that header describes (no more than MaxCoverPixels) scaled to fit size x size
    // pixels with its aspect ratio kept, as a baseline JPEG of quality 90. Empty when it cannot be
    // decoded (or FFmpeg or its scaler cannot be loaded).
    static TagLib::ByteVector Fit(const TagLib::ByteVector& picture, const PictureHeader& header,
                                  uint32_t size);
};
