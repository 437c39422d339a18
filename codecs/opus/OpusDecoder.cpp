// The Opus decoder entry points: an Ogg Opus stream into float PCM at 48 kHz.
#include <opusfile.h>

#include <algorithm>
#include <memory>
#include <new>

#include "codecs/OggEnding.h"
#include "codecs/StreamCodecApi.h"
#include "codecs/StreamFile.h"

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

struct StreamDecoder {
    StreamFile file;
    OggOpusFile* opus = nullptr;
    int channels = 0;
    ogg_int64_t declared = 0; // the links' lengths by their granule positions, less pre-skip
    ogg_int64_t decoded = 0;

    ~StreamDecoder() {
        if (opus)
            op_free(opus);
    }
};

namespace {
constexpr uint32_t OpusRate = 48000;

int ReadBytes(void* stream, unsigned char* buffer, int count) {
    const long got =
        static_cast<StreamFile*>(stream)->Read(buffer, static_cast<std::size_t>(count));
    return static_cast<int>(got);
}

int SeekTo(void* stream, opus_int64 offset, int whence) {
    return static_cast<StreamFile*>(stream)->Seek(offset, whence) ? 0 : -1;
}

opus_int64 Tell(void* stream) {
    return static_cast<opus_int64>(static_cast<StreamFile*>(stream)->position);
}

const OpusFileCallbacks Callbacks = {ReadBytes, SeekTo, Tell, nullptr};
} // namespace

BMC_EXPORT int stream_decoder_open(int fd, StreamDecoder** decoder, StreamInfo* info) {
    *decoder = nullptr;
    std::unique_ptr<StreamDecoder> made(new (std::nothrow) StreamDecoder);
    if (!made)
        return StreamFailed;
    made->file.fd = fd;
    const int links = OggWholeLinks(made->file, "OpusHead");
    if (links == 0)
        return StreamFailed;
    int error = 0;
    made->opus = op_open_callbacks(&made->file, &Callbacks, nullptr, 0, &error);
    if (!made->opus || error != 0 || op_link_count(made->opus) != links)
        return StreamFailed;
    made->declared = op_pcm_total(made->opus, -1);
    made->channels = op_channel_count(made->opus, -1);
    if (made->channels < 1 || made->channels > 8)
        return StreamFailed;
    *info = StreamInfo{OpusRate, static_cast<uint16_t>(made->channels), StreamFloat32};
    *decoder = made.release();
    return StreamOk;
}

BMC_EXPORT int32_t stream_decoder_read(StreamDecoder* decoder, void* pcm, uint32_t maxFrames) {
    const int room =
        static_cast<int>(std::min<uint64_t>(uint64_t(maxFrames) * decoder->channels, 1u << 24));
    int link = -1;
    const int frames = op_read_float(decoder->opus, static_cast<float*>(pcm), room, &link);
    // A later link with another channel count would change the format mid-file.
    if (frames < 0 || (frames > 0 && op_channel_count(decoder->opus, link) != decoder->channels))
        return -1;
    decoder->decoded += frames;
    // The end comes where the stream says, or the file lost audio the library did not notice.
    if (frames == 0 && decoder->decoded != decoder->declared)
        return -1;
    return frames;
}

BMC_EXPORT void stream_decoder_position(StreamDecoder* decoder, uint64_t* done, uint64_t* total) {
    *done = decoder->file.position;
    *total = decoder->file.Size();
}

BMC_EXPORT void stream_decoder_close(StreamDecoder* decoder) {
    delete decoder;
}
