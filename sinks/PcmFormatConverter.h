#pragma once
// Converts a stream of blocks from one wave format into another through the compression manager,
// directly or through an intermediate PCM format, feeding it block-aligned pieces.
#include <cstdint>
#include <memory>
#include <vector>

#include "acm/Acm.h"
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

    // True once a conversion step failed or a size could not be worked out: audio was lost, and
    // the sink must report a write error.
    bool Failed() const { return failed_; }
    // The sample frames that reached the final stage: for a compressed destination, the frames
    // it encoded (its rate is the destination's), without the padding of a last block.
    uint64_t FramesConverted() const { return mainInputBytes_ / mainSourceAlign_; }

private:
    struct StreamClose {
        void operator()(AcmStream* s) const { acmStreamClose(s, 0); }
    };
    using StreamPtr = std::unique_ptr<AcmStream, StreamClose>;

    static StreamPtr Open(const WAVEFORMATEX* source, size_t sourceBytes,
                          const WAVEFORMATEX* destination, size_t destinationBytes);
    // One call of the stream on a prepared header; false (and Failed) when it failed.
    bool Step(AcmStream* stream, ACMSTREAMHEADER& header, uint32_t flags);
    // The pre-stage on a whole input (or its drain at the end): the intermediate bytes.
    std::unique_ptr<uint8_t[]> PreStage(const void* input, uint32_t& count, bool end);
    // Feeds input, after what waits from earlier calls, to the main stream in blocks.
    std::unique_ptr<uint8_t[]> Run(const void* input, uint32_t inCount, uint32_t& outCount);
    // Feeds the transfer buffer's blocks to the main stream while it takes them; true when the
    // stream stopped taking input (no output room left).
    bool ConvertBlocks(uint8_t* output, uint32_t room, uint32_t& outCount);
    // The end of the stream: what waits is converted with the end flag until nothing is left.
    void Finish(std::vector<uint8_t>& out);

    StreamPtr main_;
    std::unique_ptr<BlockAligner> transfer_;
    bool first_ = true;
    StreamPtr preStage_;
    // Input the main stream did not take when it had no room left; it comes first next time.
    std::vector<uint8_t> backlog_;
    bool failed_ = false;
    uint64_t mainInputBytes_ = 0;
    uint32_t mainSourceAlign_ = 1;
};
