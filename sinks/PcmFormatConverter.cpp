#include "sinks/PcmFormatConverter.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {
size_t RecordBytes(const WAVEFORMATEX* f) {
    return sizeof(WAVEFORMATEX) + f->cbSize;
}

// The source record (with what follows it) at the destination's channel count and rate.
std::vector<uint8_t> IntermediateFormat(const WAVEFORMATEX* source,
                                        const WAVEFORMATEX* destination) {
    std::vector<uint8_t> record(RecordBytes(source));
    std::memcpy(record.data(), source, record.size());
    WAVEFORMATEX head;
    std::memcpy(&head, record.data(), sizeof head);
    head.nChannels = destination->nChannels;
    head.nSamplesPerSec = destination->nSamplesPerSec;
    head.nBlockAlign = static_cast<uint16_t>(uint32_t{head.nChannels} * head.wBitsPerSample / 8);
    head.nAvgBytesPerSec = head.nBlockAlign * head.nSamplesPerSec;
    std::memcpy(record.data(), &head, sizeof head);
    return record;
}

WaveFormatConversion OpenConversion(const WAVEFORMATEX* source, size_t sourceBytes,
                                    const WAVEFORMATEX* destination, size_t destinationBytes) {
    return WaveFormatConversion::Open(
        {reinterpret_cast<const uint8_t*>(source), sourceBytes},
        {reinterpret_cast<const uint8_t*>(destination), destinationBytes});
}

// What a drain can still produce when the stream reports no size for it.
constexpr uint32_t kDrainRoom = 1 << 16;
} // namespace

PcmFormatConverter::PcmFormatConverter(const WAVEFORMATEX* source, const WAVEFORMATEX* destination,
                                       bool& failed) {
    failed = false;
    if (!source || !destination) {
        failed = true;
        return;
    }
    if (source->wFormatTag == destination->wFormatTag &&
        source->nChannels == destination->nChannels &&
        source->wBitsPerSample == destination->wBitsPerSample &&
        source->nSamplesPerSec == destination->nSamplesPerSec)
        return; // pass-through
    main_ = OpenConversion(source, RecordBytes(source), destination, RecordBytes(destination));
    if (!main_) {
        // No direct path: first to the source's own kind of samples at the destination's
        // channel count and rate, then on to the destination.
        const auto intermediate = IntermediateFormat(source, destination);
        const auto* middle = reinterpret_cast<const WAVEFORMATEX*>(intermediate.data());
        preStage_ = OpenConversion(source, RecordBytes(source), middle, intermediate.size());
        if (preStage_)
            main_ =
                OpenConversion(middle, intermediate.size(), destination, RecordBytes(destination));
        if (!preStage_ || !main_) {
            main_ = {};
            failed = true;
            return;
        }
        mainSourceAlign_ = std::max<uint32_t>(middle->nBlockAlign, 1);
    } else {
        mainSourceAlign_ = std::max<uint32_t>(source->nBlockAlign, 1);
    }
    transfer_ = std::make_unique<BlockAligner>(destination->nBlockAlign, false);
}

PcmFormatConverter::~PcmFormatConverter() = default;

WaveConversionUsed PcmFormatConverter::MainStep(std::span<const uint8_t> source,
                                                std::span<uint8_t> destination, bool end) {
    // Only the first step starts the stream: a later start would drop what the codecs hold.
    const auto used =
        main_.Convert(source, destination, {.start = std::exchange(first_, false), .end = end});
    mainInputBytes_ += used.source;
    return used;
}

std::unique_ptr<uint8_t[]> PcmFormatConverter::PreStage(const void* input, uint32_t& count,
                                                        bool end) {
    const auto wanted = preStage_.DestinationBytesFor(count);
    if (!wanted)
        failed_ = failed_ || !end;
    const uint32_t size = wanted.value_or(end ? kDrainRoom : 0);
    auto buffer = std::make_unique<uint8_t[]>(size);
    count = preStage_
                .Convert({static_cast<const uint8_t*>(input), count}, {buffer.get(), size},
                         {.end = end})
                .destination;
    return buffer;
}

bool PcmFormatConverter::ConvertBlocks(uint8_t* output, uint32_t room, uint32_t& outCount) {
    uint32_t length = 0;
    for (const uint8_t* block = transfer_->NextBlock(length); block && length > 0;
         block = transfer_->NextBlock(length)) {
        const auto used = MainStep({block, length}, {output + outCount, room - outCount}, false);
        outCount += used.destination;
        if (used.source < length)
            transfer_->PutBack(length - used.source);
        // A step that took nothing would get the same block back for ever: stop, and keep
        // the block and the rest of the input for the next call.
        if (used.source == 0)
            return true;
    }
    return false;
}

std::unique_ptr<uint8_t[]> PcmFormatConverter::Run(const void* input, uint32_t inCount,
                                                   uint32_t& outCount) {
    std::vector<uint8_t> joined;
    if (!backlog_.empty()) {
        joined.swap(backlog_);
        joined.insert(joined.end(), static_cast<const uint8_t*>(input),
                      static_cast<const uint8_t*>(input) + inCount);
        input = joined.data();
        inCount = static_cast<uint32_t>(joined.size());
    }
    outCount = 0;
    // A size the stream cannot give means an input beyond any sensible block: it cannot be
    // converted, and is never written unconverted into a file of another format.
    const auto size = main_.DestinationBytesFor(inCount);
    if (!size) {
        failed_ = true;
        return std::make_unique<uint8_t[]>(0);
    }
    auto output = std::make_unique<uint8_t[]>(*size);
    transfer_->SetInput(input, inCount);
    if (ConvertBlocks(output.get(), *size, outCount))
        transfer_->TakeRest(backlog_);
    return output;
}

std::unique_ptr<uint8_t[]> PcmFormatConverter::Convert(const void* input, uint32_t inCount,
                                                       uint32_t& outCount) {
    outCount = inCount;
    if (!main_)
        return nullptr;
    std::unique_ptr<uint8_t[]> intermediate;
    if (preStage_) {
        intermediate = PreStage(input, inCount, false);
        input = intermediate.get();
    }
    return Run(input, inCount, outCount);
}

void PcmFormatConverter::Finish(std::vector<uint8_t>& out) {
    std::vector<uint8_t> rest;
    rest.swap(backlog_);
    transfer_->TakeRest(rest);
    uint32_t offset = 0;
    const auto total = static_cast<uint32_t>(rest.size());
    // Each round either takes input or hands out output; a round that does neither ends it.
    for (;;) {
        const uint32_t room =
            std::max(main_.DestinationBytesFor(total - offset).value_or(kDrainRoom), kDrainRoom);
        const size_t at = out.size();
        out.resize(at + room);
        const auto used =
            MainStep({rest.data() + offset, total - offset}, {out.data() + at, room}, true);
        out.resize(at + used.destination);
        offset += std::min(used.source, total - offset);
        if (used.source == 0 && used.destination == 0)
            return;
    }
}

std::unique_ptr<uint8_t[]> PcmFormatConverter::Flush(uint32_t& outCount) {
    outCount = 0;
    if (!main_)
        return nullptr;
    std::vector<uint8_t> out;
    if (preStage_) {
        // What the pre-stage still holds (a resampler's filter tail) joins the main input.
        uint32_t count = 0;
        const auto tail = PreStage(nullptr, count, true);
        uint32_t produced = 0;
        const auto converted = Run(tail.get(), count, produced);
        out.assign(converted.get(), converted.get() + produced);
    } else if (!backlog_.empty()) {
        uint32_t produced = 0;
        const auto converted = Run(nullptr, 0, produced);
        out.assign(converted.get(), converted.get() + produced);
    }
    Finish(out);
    if (out.empty())
        return nullptr;
    outCount = static_cast<uint32_t>(out.size());
    auto result = std::make_unique<uint8_t[]>(out.size());
    std::memcpy(result.get(), out.data(), out.size());
    return result;
}
