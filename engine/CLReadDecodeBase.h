#pragma once
// A source: reads one input file and pushes its PCM, block by block, into the sink it owns.
// Concrete sources take (const char* inputPath, const RowContext& row, ConversionError& code),
// make their sink for the row and come back in every case; the caller destroys them, which
// finalises the output. Failures found while converting go into row.Result.
#include <cstdint>

class CLReadDecodeBase {
public:
    virtual ~CLReadDecodeBase() = default;
    // Converts the next block; false once the input is exhausted, unreadable or the source
    // unusable.
    virtual bool Pump() { return false; }
    virtual void Reserved1() {}
    virtual void Reserved2() {}
    virtual void Reserved3() {}
    // progress[0] = total of the current file, progress[1] = done, in the source's own unit.
    virtual void GetProgress(int32_t progress[2]) { (void)progress; }
    virtual void Reserved4() {}

protected:
    CLReadDecodeBase() = default;
    CLReadDecodeBase(const CLReadDecodeBase&) = delete;
    CLReadDecodeBase& operator=(const CLReadDecodeBase&) = delete;
};
