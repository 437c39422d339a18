#include "codecs/mp4/SampleSpool.h"

#include <algorithm>

SampleSpool::SampleSpool(int planes, int bytesPerSample)
    : file_(std::tmpfile()), planes_(planes), bytesPerSample_(bytesPerSample) {}

bool SampleSpool::Append(uint8_t* const* planes, int frameCount) {
    if (!file_ || frameCount < 0 || frameCount > BlockFrames)
        return false;
    const auto bytes = static_cast<size_t>(frameCount) * static_cast<size_t>(bytesPerSample_);
    for (int p = 0; p < planes_; ++p) {
        if (std::fwrite(planes[p], 1, bytes, file_.get()) != bytes)
            return false;
    }
    frames_ += frameCount;
    return true;
}

bool SampleSpool::Rewind() {
    readFrames_ = 0;
    return file_ && std::fflush(file_.get()) == 0 && std::fseek(file_.get(), 0, SEEK_SET) == 0;
}

int SampleSpool::ReadBlock(uint8_t* const* planes) {
    const auto count = static_cast<int>(std::min<int64_t>(BlockFrames, frames_ - readFrames_));
    const auto bytes = static_cast<size_t>(count) * static_cast<size_t>(bytesPerSample_);
    for (int p = 0; p < planes_; ++p) {
        if (std::fread(planes[p], 1, bytes, file_.get()) != bytes)
            return -1;
    }
    readFrames_ += count;
    return count;
}
