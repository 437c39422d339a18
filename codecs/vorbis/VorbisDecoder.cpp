// The Vorbis decoder entry points: an Ogg Vorbis stream into float PCM.
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <memory>
#include <new>

#include "codecs/OggEnding.h"
#include "codecs/StreamCodecApi.h"
#include "codecs/StreamFile.h"

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

struct StreamDecoder {
    StreamFile file;
    OggVorbis_File vorbis{};
    bool opened = false;
    int channels = 0;
    long rate = 0;
    ogg_int64_t declared = 0; // the links' lengths by their granule positions
    ogg_int64_t decoded = 0;

    ~StreamDecoder() {
        if (opened)
            ov_clear(&vorbis);
    }
};

namespace {
size_t ReadBytes(void* buffer, size_t size, size_t count, void* source) {
    const long got = static_cast<StreamFile*>(source)->Read(buffer, size * count);
    return got > 0 && size > 0 ? static_cast<size_t>(got) / size : 0;
}

int SeekTo(void* source, ogg_int64_t offset, int whence) {
    return static_cast<StreamFile*>(source)->Seek(offset, whence) ? 0 : -1;
}

long Tell(void* source) {
    return static_cast<long>(static_cast<StreamFile*>(source)->position);
}

const ov_callbacks Callbacks = {ReadBytes, SeekTo, nullptr, Tell};
} // namespace

BMC_EXPORT int stream_decoder_open(int fd, StreamDecoder** decoder, StreamInfo* info) {
    *decoder = nullptr;
    std::unique_ptr<StreamDecoder> made(new (std::nothrow) StreamDecoder);
    if (!made)
        return StreamFailed;
    made->file.fd = fd;
    const int links = OggWholeLinks(made->file, std::string_view("\x01vorbis", 7));
    if (links == 0 || ov_open_callbacks(&made->file, &made->vorbis, nullptr, 0, Callbacks) != 0)
        return StreamFailed;
    made->opened = true;
    // Opening leaves the library past a first link whose only audio page closes it; reading from
    // the file's first page takes every link.
    if (ov_streams(&made->vorbis) != links || ov_raw_seek(&made->vorbis, 0) != 0)
        return StreamFailed;
    made->declared = ov_pcm_total(&made->vorbis, -1);
    const vorbis_info* first = ov_info(&made->vorbis, -1);
    if (!first || first->channels < 1 || first->channels > 255 || first->rate < 1000 ||
        first->rate > 768000)
        return StreamFailed;
    made->channels = first->channels;
    made->rate = first->rate;
    *info = StreamInfo{static_cast<uint32_t>(made->rate), static_cast<uint16_t>(made->channels),
                       StreamFloat32};
    *decoder = made.release();
    return StreamOk;
}

BMC_EXPORT int32_t stream_decoder_read(StreamDecoder* decoder, void* pcm, uint32_t maxFrames) {
    float** planes = nullptr;
    int section = 0;
    const int want = static_cast<int>(std::min<uint32_t>(maxFrames, 1u << 20));
    const long frames = ov_read_float(&decoder->vorbis, &planes, want, &section);
    // The end comes where the stream says, or the file lost audio the library did not notice.
    if (frames == 0)
        return decoder->decoded == decoder->declared ? 0 : -1;
    if (frames < 0)
        return -1;
    // A later link of another shape would change the format mid-file.
    const vorbis_info* now = ov_info(&decoder->vorbis, section);
    if (!now || now->channels != decoder->channels || now->rate != decoder->rate)
        return -1;
    decoder->decoded += frames;
    auto* out = static_cast<float*>(pcm);
    const int channels = decoder->channels;
    for (long i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            out[i * channels + c] = planes[c][i];
    return static_cast<int32_t>(frames);
}

BMC_EXPORT void stream_decoder_position(StreamDecoder* decoder, uint64_t* done, uint64_t* total) {
    *done = decoder->file.position;
    *total = decoder->file.Size();
}

BMC_EXPORT void stream_decoder_close(StreamDecoder* decoder) {
    delete decoder;
}
