#pragma once
// A cover left out of an output, and why; the row's line of the errors list says so.
#include <cstdint>
#include <string>

struct CoverProblem {
    enum class Cause {
        Damaged,       // no JPEG or PNG header, or the picture could not be decoded
        TooManyPixels, // its header gives more than MaxCoverPixels
        TooManyBytes   // a file larger than a carried picture may be
    };
    // The picture file of the input's folder; empty for the input's own front cover.
    std::string file;
    Cause cause = Cause::Damaged;
    // The size its header gives, for TooManyPixels.
    uint32_t width = 0;
    uint32_t height = 0;
};
