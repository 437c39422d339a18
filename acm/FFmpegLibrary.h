#pragma once
// FFmpeg's functions, as the wave format conversions call them, loaded the first time a
// format needs them rather than with the program: they bring the whole video, image, network
// and display stacks, which a job of PCM, MP3 or WMA never uses. Missing libraries make only the
// formats that need them unavailable.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

// The functions of the samples and the resampler (libswresample and the utilities it is built
// on), each once: all that a rate or format change of PCM needs.
#define BMC_FFMPEG_SAMPLE_FUNCTIONS(F)                                                             \
    F(av_channel_layout_copy)                                                                      \
    F(av_channel_layout_default)                                                                   \
    F(av_channel_layout_index_from_channel)                                                        \
    F(av_channel_layout_uninit)                                                                    \
    F(av_dict_free)                                                                                \
    F(av_dict_set_int)                                                                             \
    F(av_frame_alloc)                                                                              \
    F(av_frame_free)                                                                               \
    F(av_frame_get_buffer)                                                                         \
    F(av_frame_unref)                                                                              \
    F(av_free)                                                                                     \
    F(av_log_set_level)                                                                            \
    F(av_mallocz)                                                                                  \
    F(av_opt_set_int)                                                                              \
    F(av_sample_fmt_is_planar)                                                                     \
    F(av_samples_alloc)                                                                            \
    F(av_samples_copy)                                                                             \
    F(av_samples_set_silence)                                                                      \
    F(swr_alloc_set_opts2)                                                                         \
    F(swr_convert)                                                                                 \
    F(swr_free)                                                                                    \
    F(swr_get_delay)                                                                               \
    F(swr_init)                                                                                    \
    F(swr_inject_silence)                                                                          \
    F(swr_set_matrix)

// The codec functions (libavcodec), each once: the coded WAVE formats and the Ogg readers need
// them, and they bring the video and image codecs with them.
#define BMC_FFMPEG_CODEC_FUNCTIONS(F)                                                              \
    F(av_get_audio_frame_duration)                                                                 \
    F(av_new_packet)                                                                               \
    F(av_packet_alloc)                                                                             \
    F(av_packet_free)                                                                              \
    F(av_packet_unref)                                                                             \
    F(av_parser_close)                                                                             \
    F(av_parser_init)                                                                              \
    F(av_parser_parse2)                                                                            \
    F(avcodec_alloc_context3)                                                                      \
    F(avcodec_descriptor_get)                                                                      \
    F(avcodec_find_decoder)                                                                        \
    F(avcodec_find_decoder_by_name)                                                                \
    F(avcodec_find_encoder)                                                                        \
    F(avcodec_free_context)                                                                        \
    F(avcodec_get_name)                                                                            \
    F(avcodec_open2)                                                                               \
    F(avcodec_receive_frame)                                                                       \
    F(avcodec_receive_packet)                                                                      \
    F(avcodec_send_frame)                                                                          \
    F(avcodec_send_packet)

// The format library's, for the coded WAVE formats' tags.
#define BMC_FFMPEG_FORMAT_FUNCTIONS(F)                                                             \
    F(av_codec_get_id)                                                                             \
    F(avformat_get_riff_audio_tags)

// The image scaler's functions, which only scaled covers need: without them, pictures are not
// scaled, and the audio formats are unaffected.
#define BMC_FFMPEG_IMAGE_FUNCTIONS(F)                                                              \
    F(sws_freeContext)                                                                             \
    F(sws_getContext)                                                                              \
    F(sws_scale_frame)

class FFmpegLibrary {
public:
    // The whole library, loaded on the first call (from any thread); null when it cannot be
    // loaded.
    static const FFmpegLibrary* Get();
    // The sample and codec functions, without the format library and the image scaler.
    static const FFmpegLibrary* Codecs();
    // The sample functions alone, without the codecs where those are not loaded yet.
    static const FFmpegLibrary* Samples();

#define BMC_FFMPEG_MEMBER(name) decltype(&::name) name = nullptr;
    BMC_FFMPEG_SAMPLE_FUNCTIONS(BMC_FFMPEG_MEMBER)
    BMC_FFMPEG_CODEC_FUNCTIONS(BMC_FFMPEG_MEMBER)
    BMC_FFMPEG_FORMAT_FUNCTIONS(BMC_FFMPEG_MEMBER)
    BMC_FFMPEG_IMAGE_FUNCTIONS(BMC_FFMPEG_MEMBER)
#undef BMC_FFMPEG_MEMBER

    // Every image function was found.
    bool Images() const {
        return images_;
    }

private:
    FFmpegLibrary() = default;
    static FFmpegLibrary& Instance();
    bool LoadSamples();
    bool LoadCodecs();
    bool LoadFormats();
    bool LoadImages();

    bool images_ = false;
};

// The loaded library, where a format that needs it was accepted (a coded format was recognised,
// which takes the library) or the caller has asked Get() or, for the sample functions, Samples()
// first.
inline const FFmpegLibrary& Av() {
    return *FFmpegLibrary::Samples();
}
