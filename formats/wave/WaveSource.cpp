#include "formats/wave/WaveSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "formats/wave/WaveHeader.h"
#include "system/FileRoutines.h"

namespace {

constexpr uint32_t BlockSeconds = 3;
// Keeps memory bounded for formats that declare absurd rates or block sizes.
constexpr uint64_t MaxBufferBytes = 32u << 20;
constexpr int MaxDrainSteps = 64;
constexpr std::size_t ExtensibleExtraBytes = 22;
constexpr std::size_t SubFormatOffset = sizeof(WAVEFORMATEX) + 6;

std::unique_ptr<uint8_t[]> Allocate(uint32_t size) {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]);
}

// Reads until `count` bytes arrived, end of file or an error; returns the bytes read.
std::size_t ReadFully(JobEnvironment::ReadFunction read, int fd, uint8_t* into, std::size_t count,
                      uint64_t offset) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = read(fd, into + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

// The format tag of an extensible format's sub-format, or 0 when there is none.
uint16_t SubFormatTag(const std::vector<uint8_t>& format) {
    const auto* record = reinterpret_cast<const WAVEFORMATEX*>(format.data());
    if (record->wFormatTag != WAVE_FORMAT_EXTENSIBLE || record->cbSize < ExtensibleExtraBytes)
        return 0;
    uint16_t tag;
    std::memcpy(&tag, format.data() + SubFormatOffset, sizeof tag);
    return tag;
}

// Integer PCM whose valid bits fill its containers is plain PCM, whatever record announces it.
bool IsPlainPcm(const std::vector<uint8_t>& format) {
    const auto* record = reinterpret_cast<const WAVEFORMATEX*>(format.data());
    if (record->wFormatTag == WAVE_FORMAT_PCM)
        return true;
    if (SubFormatTag(format) != WAVE_FORMAT_PCM)
        return false;
    uint16_t validBits;
    std::memcpy(&validBits, format.data() + sizeof(WAVEFORMATEX), sizeof validBits);
    return validBits == 0 || validBits == record->wBitsPerSample;
}

// 32-bit floats are read as they lie too: decoding them to 16-bit PCM, as the other coded formats
// are, would throw away what a float or 24-bit output keeps.
bool IsFloat32(const std::vector<uint8_t>& format) {
    const auto* record = reinterpret_cast<const WAVEFORMATEX*>(format.data());
    return (record->wFormatTag == WAVE_FORMAT_IEEE_FLOAT ||
            SubFormatTag(format) == WAVE_FORMAT_IEEE_FLOAT) &&
           record->wBitsPerSample == 32;
}

// An extensible record is handed to the decoder as the plain record of its sub-format.
std::vector<uint8_t> DecoderInputFormat(const std::vector<uint8_t>& format) {
    const uint16_t subTag = SubFormatTag(format);
    if (subTag == 0)
        return format;
    std::vector<uint8_t> plain(format.begin(), format.begin() + sizeof(WAVEFORMATEX));
    auto* record = reinterpret_cast<WAVEFORMATEX*>(plain.data());
    record->wFormatTag = subTag;
    record->cbSize = 0;
    return plain;
}

// Integer PCM is read by its frames: each sample left-justified in whole bytes (12 bits in two,
// 20 in three), the frames as wide as their samples. A block alignment that says otherwise does
// not describe this data, and reading by it would cut or garble the audio.
bool TakePcmFrames(WAVEFORMATEX& format) {
    const uint32_t containerBytes = (format.wBitsPerSample + 7u) / 8u;
    if (format.nChannels == 0 || format.wBitsPerSample < 8 || containerBytes > 4 ||
        format.nBlockAlign != format.nChannels * containerBytes)
        return false;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.wBitsPerSample = static_cast<uint16_t>(containerBytes * 8);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    return true;
}

bool TakeFloatFrames(WAVEFORMATEX& format) {
    if (format.nChannels == 0 || format.nBlockAlign != format.nChannels * 4u)
        return false;
    format = MakeFloatFormat(format.nChannels, format.nSamplesPerSec);
    return true;
}

uint32_t ThreeSecondsOf(const WAVEFORMATEX& format) {
    const uint64_t align = format.nBlockAlign;
    const uint64_t wanted = uint64_t{BlockSeconds} * format.nSamplesPerSec * align;
    const uint64_t bounded = std::min(wanted, MaxBufferBytes);
    return static_cast<uint32_t>(std::max(bounded - bounded % align, align));
}

} // namespace

WaveSource::WaveSource(const char* inputPath, const RowContext& row, ConversionError& code)
    : result_(row.Result), read_(row.Environment.Read) {
    code = Open(inputPath, row);
}

WaveSource::~WaveSource() = default;

ConversionError WaveSource::Open(const char* inputPath, const RowContext& row) {
    // A FIFO or a device never opens: it could block the job for ever.
    input_ = OpenRegularFile(inputPath);
    if (!input_.Valid())
        return ConversionError::ceRead;
    const uint64_t fileSize = GetFileSizeOfHandle(input_.Get());
    const int fd = input_.Get();
    const auto header = ScanWaveHeader(
        [this, fd](uint64_t offset, uint8_t* into, std::size_t count) {
            return ReadFully(read_, fd, into, count, offset);
        },
        fileSize);
    if (!header)
        return ConversionError::ceRead;

    delivered_ = header->basicFormat;
    dataOffset_ = header->dataOffset;
    dataSize_ = header->dataSize;
    // A data chunk that claims more than the file holds ends where the file ends, and the file
    // is reported as unreadable after what it holds has been converted.
    const uint64_t present = fileSize > dataOffset_ ? fileSize - dataOffset_ : 0;
    truncated_ = dataSize_ > present;
    dataSize_ = std::min(dataSize_, present);
    if (!IsUsableSampleRate(delivered_.nSamplesPerSec))
        return ConversionError::ceRead;

    if (const bool plain = IsPlainPcm(header->format); plain || IsFloat32(header->format)) {
        if (!(plain ? TakePcmFrames(delivered_) : TakeFloatFrames(delivered_)))
            return ConversionError::ceRead;
        // A trailing partial sample frame is not audio.
        dataSize_ -= dataSize_ % delivered_.nBlockAlign;
        SeekPart(row);
    } else if (const auto failed = OpenDecoder(header->format); failed != ConversionError::ceNone) {
        return failed;
    }
    bytesRemaining_ = dataSize_ - bytesRead_;

    pcmSize_ = ThreeSecondsOf(delivered_);
    pcm_ = Allocate(pcmSize_);
    if (!pcm_)
        return ConversionError::ceMemory;

    bool ok = false;
    sink_ = std::make_unique<OutputSink>(&delivered_, row, ok);
    return ok ? ConversionError::ceNone : ConversionError::ceOutput;
}

void WaveSource::SeekPart(const RowContext& row) {
    if (!row.Window)
        return;
    const uint64_t first = std::min(row.Window->FirstFrame(delivered_.nSamplesPerSec),
                                    dataSize_ / delivered_.nBlockAlign);
    bytesRead_ = first * delivered_.nBlockAlign;
    row.Window->StartAt(first);
}

ConversionError WaveSource::OpenDecoder(const std::vector<uint8_t>& fileFormat) {
    const std::vector<uint8_t> source = DecoderInputFormat(fileFormat);
    const auto* sourceFormat = reinterpret_cast<const WAVEFORMATEX*>(source.data());
    const WAVEFORMATEX pcm =
        MakePcmFormat(sourceFormat->nChannels, sourceFormat->nSamplesPerSec, 16);
    auto result = WaveConversionResult::NotPossible;
    decoder_ = WaveFormatConversion::Open(
        source, {reinterpret_cast<const uint8_t*>(&pcm), sizeof pcm}, &result);
    // A record that contradicts itself describes data nothing can read; a sound one without a
    // decoder is the codec's failure.
    if (result == WaveConversionResult::MalformedSource)
        return ConversionError::ceRead;
    if (!decoder_)
        return ConversionError::ceCodec;
    if (pcm.nBlockAlign == 0 || pcm.nSamplesPerSec == 0)
        return ConversionError::ceCodec;

    const auto estimate = decoder_.SourceBytesFor(ThreeSecondsOf(pcm));
    if (!estimate)
        return ConversionError::ceCodec;
    // Room for at least one whole compressed block, so that the decoder can always progress.
    const uint32_t oneBlock = std::max<uint32_t>(sourceFormat->nBlockAlign, 1);
    compressedSize_ = static_cast<uint32_t>(
        std::clamp<uint64_t>(*estimate, oneBlock, std::max<uint64_t>(MaxBufferBytes, oneBlock)));
    compressed_ = Allocate(compressedSize_);
    if (!compressed_)
        return ConversionError::ceMemory;
    delivered_ = pcm;
    return ConversionError::ceNone;
}

bool WaveSource::Pump() {
    if (!sink_ || !input_.Valid() || !pcm_)
        return false;
    if (decoder_ && !drained_)
        PumpCompressed();
    else if (bytesRemaining_ > 0)
        PumpPcm();
    const bool more = bytesRemaining_ > 0 || (decoder_ && !drained_);
    if (!more)
        Finish();
    return bytesRemaining_ > 0;
}

void WaveSource::Finish() {
    if (std::exchange(finished_, true))
        return;
    // Audio that was promised and never came (cut off, unreadable, or undecodable to the last
    // byte) makes the file fail, so that it never replaces a complete output.
    if (truncated_ || failed_ || (dataSize_ > 0 && pcmDelivered_ == 0))
        result_.InputError = ConversionError::ceRead;
}

void WaveSource::Deliver(const uint8_t* pcm, uint32_t count) {
    if (count == 0)
        return;
    pcmDelivered_ += count;
    sink_->Write(pcm, count);
}

void WaveSource::PumpPcm() {
    const uint32_t got =
        ReadData(pcm_.get(), static_cast<uint32_t>(std::min<uint64_t>(bytesRemaining_, pcmSize_)));
    // What a short read brought is still audio; deliver it in whole frames.
    Deliver(pcm_.get(), got - got % delivered_.nBlockAlign);
}

void WaveSource::PumpCompressed() {
    if (!compressed_)
        return;
    const uint32_t room = compressedSize_ - carried_;
    const uint32_t got = ReadData(compressed_.get() + carried_,
                                  static_cast<uint32_t>(std::min<uint64_t>(bytesRemaining_, room)));
    const uint32_t held = carried_ + got;
    const bool last = bytesRemaining_ == 0;
    const uint32_t left = Decode(held, last);
    drained_ = last;
    // Bytes the decoder did not take open the next block. A full buffer it cannot take anything
    // from is undecodable and is dropped, so that the stream always moves on.
    carried_ = (last || left == compressedSize_) ? 0 : left;
    if (carried_ > 0)
        std::memmove(compressed_.get(), compressed_.get() + (held - left), left);
}

uint32_t WaveSource::Decode(uint32_t count, bool last) {
    uint32_t used = 0;
    // Draining the decoder's own delay is a few buffers at most; never loop without bound.
    for (int drains = 0; drains < MaxDrainSteps;) {
        const auto step =
            decoder_.Convert({compressed_.get() + used, count - used}, {pcm_.get(), pcmSize_},
                             {.start = std::exchange(firstConversion_, false), .end = last});
        const uint32_t consumed = std::min(step.source, count - used);
        const uint32_t produced = std::min(step.destination, pcmSize_);
        Deliver(pcm_.get(), produced);
        used += consumed;
        // Go on while the decoder makes progress: it may have filled the buffer before the input
        // ran out, and at the end it may still hold samples to drain.
        if (consumed == 0 && produced == 0)
            break;
        if (used == count && (!last || produced == 0))
            break;
        if (consumed == 0)
            ++drains;
    }
    return count - used;
}

uint32_t WaveSource::ReadData(uint8_t* into, uint32_t count) {
    const auto got = static_cast<uint32_t>(
        ReadFully(read_, input_.Get(), into, count, dataOffset_ + bytesRead_));
    bytesRead_ += got;
    // The data was measured against the file's size: falling short of it is a failure too.
    if (got < count)
        failed_ = true;
    bytesRemaining_ = got < count ? 0 : bytesRemaining_ - got;
    return got;
}

void WaveSource::GetProgress(int32_t progress[2]) {
    unsigned shift = 0;
    while ((dataSize_ >> shift) > static_cast<uint64_t>(INT32_MAX))
        ++shift;
    progress[0] = static_cast<int32_t>(dataSize_ >> shift);
    progress[1] = static_cast<int32_t>(bytesRead_ >> shift);
}
