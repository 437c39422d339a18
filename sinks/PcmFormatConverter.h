#pragma once
// Converts a stream of blocks from one wave format into another through wave format conversions,
// directly or through an intermediate PCM format, feeding them block-aligned pieces.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "acm/WaveFormatConversion.h"
#include "engine/WaveFormat.h"
#include "sinks/BlockAligner.h"

class PcmFormatConverter {
public:
    // failed is set when no conversion path exists between the formats. Each format points at a
    // WAVEFORMATEX followed by its cbSize extra bytes; neither is kept.
    PcmFormatConverter(const WAVEFORMATEX* source, const WAVEFORMATEX* destination, bool& failed);
    ~PcmFormatConverter();
    PcmFormatConverter(const PcmFormatConverter&) = delete;
    PcmFormatConverter& operator=(const PcmFormatConverter&) = delete;

    // Null: write the input unchanged (outCount = inCount). Otherwise the converted bytes, of
    // which outCount are valid (may be 0: the bytes are held back for the next call).
    std::unique_ptr<uint8_t[]> Convert(const void* input, uint32_t inCount, uint32_t& outCount);

    // At the end of the stream: converts what is held back (padding a compressed format's last
    // block as its codec requires) and drains the streams. Null when nothing remains.
    std::unique_ptr<uint8_t[]> Flush(uint32_t& outCount);

    // True once a size could not be worked out for the input: audio was lost, and the sink must
    // report a write error.
    bool Failed() const { return failed_; }
    // The sample frames that reached the final stage: for a compressed destination, the frames
    // it encoded (its rate is the destination's), without the padding of a last block.
    uint64_t FramesConverted() const { return mainInputBytes_ / mainSourceAlign_; }

private:
    // One call of the main stream (end: the input ends with it), counting the source bytes it
    // took.
    WaveConversionUsed MainStep(std::span<const uint8_t> source, std::span<uint8_t> destination,
                                bool end);
    // The pre-stage on a whole input (or its drain at the end): the intermediate bytes.
    std::unique_ptr<uint8_t[]> PreStage(const void* input, uint32_t& count, bool end);
    // Feeds input, after what waits from earlier calls, to the main stream in blocks.
    std::unique_ptr<uint8_t[]> Run(const void* input, uint32_t inCount, uint32_t& outCount);
    // Feeds the transfer buffer's blocks to the main stream while it takes them; true when the
    // stream stopped taking input (no output room left).
    bool ConvertBlocks(uint8_t* output, uint32_t room, uint32_t& outCount);
    // The end of the stream: what waits is converted with the end flag until nothing is left.
    void Finish(std::vector<uint8_t>& out);

    WaveFormatConversion main_;
    std::unique_ptr<BlockAligner> transfer_;
    bool first_ = true;
    WaveFormatConversion preStage_;
    // Input the main stream did not take when it had no room left; it comes first next time.
    std::vector<uint8_t> backlog_;
    bool failed_ = false;
    uint64_t mainInputBytes_ = 0;
    uint32_t mainSourceAlign_ = 1;
};
