#include "sinks/BlockAligner.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr uint32_t kRoundedLimit = 16384;

uint32_t CapacityFor(uint32_t blockSize, bool exact) {
    // A block size of 0 would hand out empty blocks for ever; one byte is the smallest block.
    const uint32_t block = std::max<uint32_t>(blockSize, 1);
    if (exact)
        return block;
    return std::max<uint32_t>(kRoundedLimit / block, 1) * block;
}
} // namespace

BlockAligner::BlockAligner(uint32_t blockSize, bool exact)
    : capacity_(CapacityFor(blockSize, exact)) {
    buffer_ = std::make_unique<uint8_t[]>(capacity_);
}

void BlockAligner::TopUp() {
    if (fill_ == 0)
        return;
    const uint32_t n = std::min(capacity_ - fill_, remaining_);
    if (n == 0)
        return;
    std::memcpy(buffer_.get() + fill_, input_, n);
    fill_ += n;
    input_ += n;
    remaining_ -= n;
}

void BlockAligner::SetInput(const void* data, uint32_t count) {
    input_ = static_cast<const uint8_t*>(data);
    remaining_ = data ? count : 0;
    TopUp();
}

const uint8_t* BlockAligner::NextBlock(uint32_t& length) {
    length = 0;
    if (fill_ == capacity_) {
        length = capacity_;
        fill_ = 0;
        lastFromBuffer_ = true;
        lastLength_ = capacity_;
        return buffer_.get();
    }
    lastFromBuffer_ = false;
    lastLength_ = 0;
    if (remaining_ >= capacity_) {
        const uint8_t* block = input_;
        length = capacity_;
        lastLength_ = capacity_;
        input_ += capacity_;
        remaining_ -= capacity_;
        return block;
    }
    const uint32_t n = std::min(capacity_ - fill_, remaining_);
    if (n > 0)
        std::memcpy(buffer_.get() + fill_, input_, n);
    fill_ += n;
    input_ += remaining_;
    remaining_ = 0;
    return nullptr;
}

void BlockAligner::PutBack(uint32_t count) {
    if (lastFromBuffer_) {
        count = std::min(count, lastLength_);
        std::memmove(buffer_.get(), buffer_.get() + lastLength_ - count, count);
        fill_ = count;
        TopUp();
        lastFromBuffer_ = false;
        lastLength_ = 0;
        return;
    }
    count = std::min(count, lastLength_);
    input_ -= count;
    remaining_ += count;
    lastLength_ = 0;
}

void BlockAligner::TakeRest(std::vector<uint8_t>& out) {
    out.insert(out.end(), buffer_.get(), buffer_.get() + fill_);
    if (remaining_ > 0)
        out.insert(out.end(), input_, input_ + remaining_);
    fill_ = 0;
    remaining_ = 0;
    input_ = nullptr;
    lastFromBuffer_ = false;
    lastLength_ = 0;
}
