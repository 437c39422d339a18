// The Opus decoder entry points: an Ogg Opus stream into float PCM at 48 kHz.
#include <memory>
#include <new>

#include "codecs/StreamCodecApi.h"
#include "codecs/ffmpeg/OggAudioDecoder.h"

#define BMC_EXPORT extern "C" __attribute__((visibility("default")))

struct StreamDecoder {
    std::unique_ptr<OggAudioDecoder> ogg;
};

BMC_EXPORT int stream_decoder_open(int fd, StreamDecoder** decoder, StreamInfo* info) {
    *decoder = nullptr;
    std::unique_ptr<StreamDecoder> made(new (std::nothrow) StreamDecoder);
    if (!made || !(made->ogg = OggAudioDecoder::Open(fd, XiphCodec::Opus)))
        return StreamFailed;
    *info = StreamInfo{static_cast<uint32_t>(made->ogg->Rate()),
                       static_cast<uint16_t>(made->ogg->Channels()), StreamFloat32};
    *decoder = made.release();
    return StreamOk;
}

BMC_EXPORT int32_t stream_decoder_read(StreamDecoder* decoder, void* pcm, uint32_t maxFrames) {
    return decoder->ogg->Read(static_cast<float*>(pcm), maxFrames);
}

BMC_EXPORT void stream_decoder_position(StreamDecoder* decoder, uint64_t* done, uint64_t* total) {
    decoder->ogg->Position(*done, *total);
}

BMC_EXPORT void stream_decoder_close(StreamDecoder* decoder) {
    delete decoder;
}
