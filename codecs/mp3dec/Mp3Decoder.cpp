// The MP3 decoder module: MPEG audio layers 1 to 3 through libmpg123, delivered as 16-bit PCM at
// the stream's own rate and channel count. libmpg123 skips ID3v2/APE tags, honours the encoder
// delay and padding of an Info tag, and resynchronises after corrupt frames; a file that does not
// begin as a stream is refused.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "codecs/Mp3DecoderApi.h"
#include "codecs/mp3dec/Mp3StreamStart.h"
#include "codecs/mp3dec/Mpg123Handle.h"

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr const char* FileModuleName = "file";
// A whole number of stereo 16-bit sample frames, within the per-call limit.
constexpr size_t ReadSize = (Mp3DecMaxBytesPerDecode / 4) * 4;
// NEW_FORMAT notices and empty reads tolerated within one decoder_decode call.
constexpr int ReadAttempts = 8;
// How far the decoded length may fall short of an Info frame's before the file counts as cut.
constexpr off_t MaxSamplesShort = 1152 * 2;

struct DecoderState : Mp3Decoder {
    DecoderState() : Mp3Decoder{&inputState, &outputState} {}
    ~DecoderState() { Close(); }
    DecoderState(const DecoderState&) = delete;
    DecoderState& operator=(const DecoderState&) = delete;

    void Close() {
        if (open)
            mpg123_close(handle.get());
        open = false;
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    Mp3DecoderInputState inputState{};
    Mp3DecoderOutputState outputState{};
    Mpg123Ptr handle;
    bool fileModule = false;
    int fd = -1;
    bool open = false;
    bool ended = false;
    bool formatPinned = false;
    unsigned positionShift = 0;
    // The samples the stream's Info frame promises; 0 when it names no frame count.
    off_t promisedSamples = 0;
};

DecoderState* State(Mp3Decoder* decoder) {
    return static_cast<DecoderState*>(decoder);
}

bool InitLibrary() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = mpg123_init() == MPG123_OK; });
    return ok;
}

// Every rate and channel count, always as signed 16-bit samples.
bool AcceptAllRates16(mpg123_handle* handle) {
    if (mpg123_format_none(handle) != MPG123_OK)
        return false;
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    return true;
}

Mpg123Ptr NewHandle() {
    int error = MPG123_OK;
    Mpg123Ptr handle(mpg123_new(nullptr, &error));
    if (!handle || error != MPG123_OK)
        return nullptr;
    // The tags are read elsewhere; parsing them here would only cost time, and a tag of tens of
    // thousands of frames costs libmpg123 time quadratic in their number.
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_SKIP_ID3V2, 0.0);
    if (!AcceptAllRates16(handle.get()))
        return nullptr;
    return handle;
}

void UpdatePosition(DecoderState& state) {
    const off_t position = mpg123_tell_stream(state.handle.get());
    if (position >= 0)
        state.inputState.position = static_cast<uint32_t>(position >> state.positionShift);
}

// The caller fixes its PCM format from the first format reported, so a stream that changes rate
// or channel count later is converted by libmpg123 into that first format.
bool RefreshFormat(DecoderState& state) {
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(state.handle.get(), &rate, &channels, &encoding) != MPG123_OK)
        return false;
    if (!state.formatPinned) {
        mpg123_format_none(state.handle.get());
        mpg123_format(state.handle.get(), rate, channels, MPG123_ENC_SIGNED_16);
        state.formatPinned = true;
        state.outputState.bytesPerSample = 2;
        state.outputState.stereo = channels == 2 ? 1 : 0;
        state.outputState.sampleRate = static_cast<uint32_t>(rate);
    }
    return true;
}

// Whether the first frame is an Info (Xing) frame that counts the stream's frames; only then is
// the length libmpg123 reports a promise of the file rather than a guess.
bool HasInfoFrameCount(int fd, off_t at) {
    uint8_t frame[64] = {};
    if (pread(fd, frame, sizeof frame, at) != sizeof frame || frame[0] != 0xFF ||
        (frame[1] & 0xE0) != 0xE0)
        return false;
    const bool mpeg1 = (frame[1] & 0x18) == 0x18;
    const bool mono = (frame[3] & 0xC0) == 0xC0;
    const size_t tag = 4 + (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
    if (std::memcmp(frame + tag, "Xing", 4) != 0 && std::memcmp(frame + tag, "Info", 4) != 0)
        return false;
    return (frame[tag + 7] & 0x01) != 0; // the frames field is present
}

void MeasureInput(DecoderState& state) {
    struct stat info {};
    if (fstat(state.fd, &info) != 0 || !S_ISREG(info.st_mode))
        return;
    off_t size = info.st_size;
    while (size > INT32_MAX) {
        size >>= 1;
        ++state.positionShift;
    }
    state.inputState.size = static_cast<uint32_t>(size);
}

} // namespace

BMC_EXPORT int decoder_new(Mp3Decoder** decoder) {
    if (!decoder)
        return Mp3DecFailed;
    *decoder = nullptr;
    if (!InitLibrary())
        return Mp3DecFailed;
    auto state = std::unique_ptr<DecoderState>(new (std::nothrow) DecoderState);
    if (!state)
        return Mp3DecFailed;
    state->handle = NewHandle();
    if (!state->handle)
        return Mp3DecFailed;
    *decoder = state.release();
    return Mp3DecOk;
}

BMC_EXPORT int file_input_module_register(Mp3InputModule* module) {
    if (!module)
        return Mp3DecFailed;
    *module = Mp3InputModule{Mp3InputKindFile, FileModuleName};
    return Mp3DecOk;
}

BMC_EXPORT int decoder_input_module_register(Mp3Decoder* decoder, const Mp3InputModule* module) {
    if (!decoder || !module || module->kind != Mp3InputKindFile)
        return Mp3DecFailed;
    State(decoder)->fileModule = true;
    return Mp3DecOk;
}

BMC_EXPORT int decoder_input_new(Mp3Decoder* decoder, const char* path, int moduleId) {
    if (!decoder || !path || (moduleId != Mp3InputModuleAuto && moduleId != 0))
        return Mp3DecFailed;
    DecoderState& state = *State(decoder);
    if (!state.fileModule || state.fd >= 0)
        return Mp3DecFailed;
    // Only a regular file, and the open never waits (a FIFO without a writer would).
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return Mp3DecFailed;
    struct stat info {};
    const int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return Mp3DecFailed;
    }
    state.fd = fd;
    MeasureInput(state);
    return Mp3DecOk;
}

// Opens the input and reads up to its first decodable frame, so that the output format is known.
BMC_EXPORT int decoder_input_open(Mp3Decoder* decoder) {
    if (!decoder)
        return Mp3DecFailed;
    DecoderState& state = *State(decoder);
    if (state.fd < 0 || state.open)
        return Mp3DecFailed;
    const off_t firstFrame = Mp3StreamStart::Find(state.fd);
    if (firstFrame < 0 || mpg123_open_fd(state.handle.get(), state.fd) != MPG123_OK)
        return Mp3DecFailed;
    state.open = true;
    if (!RefreshFormat(state)) {
        mpg123_close(state.handle.get());
        state.open = false;
        return Mp3DecFailed;
    }
    if (HasInfoFrameCount(state.fd, firstFrame))
        state.promisedSamples = std::max<off_t>(mpg123_length(state.handle.get()), 0);
    UpdatePosition(state);
    return Mp3DecOk;
}

BMC_EXPORT int decoder_input_close(Mp3Decoder* decoder) {
    if (!decoder)
        return Mp3DecFailed;
    State(decoder)->Close();
    return Mp3DecOk;
}

BMC_EXPORT int decoder_delete(Mp3Decoder* decoder) {
    if (!decoder)
        return Mp3DecFailed;
    delete State(decoder);
    return Mp3DecOk;
}

BMC_EXPORT int decoder_decode(Mp3Decoder* decoder, void* pcm) {
    if (!decoder || !pcm)
        return Mp3DecFailed;
    DecoderState& state = *State(decoder);
    state.outputState.byteCount = 0;
    if (!state.open)
        return Mp3DecFailed;
    if (state.ended)
        return Mp3DecEndOfInput;
    for (int attempt = 0; attempt < ReadAttempts; ++attempt) {
        size_t done = 0;
        const int result = mpg123_read(state.handle.get(), pcm, ReadSize, &done);
        if (result == MPG123_NEW_FORMAT && !RefreshFormat(state))
            return Mp3DecFailed;
        UpdatePosition(state);
        if (done > 0) {
            state.outputState.byteCount = static_cast<uint32_t>(done);
            return Mp3DecOk;
        }
        if (result == MPG123_DONE) {
            state.ended = true;
            state.inputState.position = state.inputState.size;
            // A frame or so short of the promise is the decoder's rounding; more is a cut file.
            const off_t decoded = mpg123_tell(state.handle.get());
            return decoded + MaxSamplesShort < state.promisedSamples ? Mp3DecInputBroken
                                                                     : Mp3DecEndOfInput;
        }
        if (result == MPG123_ERR && mpg123_errcode(state.handle.get()) == MPG123_ERR_READER) {
            state.ended = true;
            return Mp3DecInputBroken;
        }
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
            return Mp3DecFailed;
    }
    return Mp3DecFailed;
}

BMC_EXPORT int decoder_input_seek_to_position(Mp3Decoder* decoder, uint32_t offset,
                                              uint32_t range) {
    if (!decoder || range == 0 || offset > range)
        return Mp3DecFailed;
    DecoderState& state = *State(decoder);
    if (!state.open)
        return Mp3DecFailed;
    const off_t length = mpg123_length(state.handle.get());
    if (length < 0)
        return Mp3DecFailed;
    const off_t target = static_cast<off_t>(static_cast<double>(length) * offset / range);
    if (mpg123_seek(state.handle.get(), target, SEEK_SET) < 0)
        return Mp3DecFailed;
    state.ended = false;
    UpdatePosition(state);
    return Mp3DecOk;
}
