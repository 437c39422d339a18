#pragma once
// Cuts a stream of byte blocks of any length into blocks of one fixed size. Whole blocks are
// handed out straight from the caller's memory; only a remainder shorter than one block is copied
// and waits in an internal buffer for the next input. A consumer that used only part of a block
// gives the tail back with PutBack, and that tail comes first in the next block.
#include <cstdint>
#include <memory>
#include <vector>

class BlockAligner {
public:
    // exact: blocks of blockSize bytes. Otherwise blocks of the largest multiple of blockSize not
    // above 16384 bytes, and at least one block.
    BlockAligner(uint32_t blockSize, bool exact);
    BlockAligner(const BlockAligner&) = delete;
    BlockAligner& operator=(const BlockAligner&) = delete;

    // The input must stay valid until NextBlock has returned null.
    void SetInput(const void* data, uint32_t count);
    // The next full block (valid until the next call), or null with length 0.
    const uint8_t* NextBlock(uint32_t& length);
    // The consumer used all but the last count bytes of the block handed out last.
    void PutBack(uint32_t count);

    uint32_t Capacity() const { return capacity_; }
    // Bytes held in the internal buffer (a remainder shorter than one block).
    uint32_t Held() const { return fill_; }
    // Appends everything not yet handed out (the internal buffer, then the rest of the input)
    // to out and forgets it: the caller's input is no longer referred to.
    void TakeRest(std::vector<uint8_t>& out);

private:
    void TopUp();

    std::unique_ptr<uint8_t[]> buffer_;
    uint32_t fill_ = 0;
    uint32_t capacity_ = 0;
    const uint8_t* input_ = nullptr;
    uint32_t remaining_ = 0;
    bool lastFromBuffer_ = false;
    uint32_t lastLength_ = 0;
};
