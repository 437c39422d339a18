#include "tags/CoverScaler.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "acm/FFmpegHandles.h"

namespace {
using namespace TagLib;

// The example quantization tables of the JPEG standard (Annex K), row by row, which quality 90
// scales to a fifth as the Independent JPEG Group's quality scale does.
constexpr std::array<uint16_t, 64> LuminanceTable = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr std::array<uint16_t, 64> ChrominanceTable = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
constexpr int Quality = 90;
constexpr int TablePercent = 200 - 2 * Quality; // the group's scale for qualities of 50 and more

// The encoder multiplies its matrices by the quantizer scale over 8: at 8 they go out as given.
constexpr int MatrixAsGiven = 8;

uint16_t* ScaledTable(const std::array<uint16_t, 64>& table) {
    auto* scaled = static_cast<uint16_t*>(Av().av_mallocz(sizeof(uint16_t) * table.size()));
    if (scaled != nullptr) {
        std::transform(table.begin(), table.end(), scaled, [](uint16_t value) {
            return static_cast<uint16_t>(std::clamp((value * TablePercent + 50) / 100, 1, 255));
        });
    }
    return scaled;
}

struct Size {
    int width;
    int height;
};

// The largest size that fits size x size with the header's aspect ratio.
Size Fitted(const PictureHeader& header, uint32_t size) {
    const uint64_t longer = std::max(header.width, header.height);
    const auto side = [&](uint32_t length) {
        return static_cast<int>(
            std::max<uint64_t>(1, (uint64_t{length} * size + longer / 2) / longer));
    };
    return {side(header.width), side(header.height)};
}

// JPEG decodes at a half, a quarter or an eighth of its size for little more than the work of the
// smaller picture; the largest step that is not smaller than the output keeps the quality.
int LowResolution(const PictureHeader& header, Size out) {
    int step = 0;
    while (step < 3 && ((header.width + (2u << step) - 1) >> (step + 1)) >= uint32_t(out.width) &&
           ((header.height + (2u << step) - 1) >> (step + 1)) >= uint32_t(out.height)) {
        ++step;
    }
    return header.kind == PictureHeader::Kind::Jpeg ? step : 0;
}

AvFramePtr Decode(const ByteVector& picture, const PictureHeader& header, Size out) {
    const AVCodec* codec = Av().avcodec_find_decoder(
        header.kind == PictureHeader::Kind::Jpeg ? AV_CODEC_ID_MJPEG : AV_CODEC_ID_PNG);
    AvCodecContextPtr context(codec ? Av().avcodec_alloc_context3(codec) : nullptr);
    AvPacketPtr packet(Av().av_packet_alloc());
    AvFramePtr frame(Av().av_frame_alloc());
    if (!context || !packet || !frame) {
        return nullptr;
    }
    // The header was checked; the decoder refuses a picture whose data says otherwise before
    // allocating it, and stops at the first damage rather than showing grey blocks.
    context->max_pixels = MaxCoverPixels;
    context->err_recognition = AV_EF_EXPLODE;
    context->lowres = LowResolution(header, out);
    if (Av().avcodec_open2(context.get(), codec, nullptr) < 0 ||
        Av().av_new_packet(packet.get(), static_cast<int>(picture.size())) < 0) {
        return nullptr;
    }
    std::memcpy(packet->data, picture.data(), picture.size());
    if (Av().avcodec_send_packet(context.get(), packet.get()) < 0 ||
        Av().avcodec_send_packet(context.get(), nullptr) < 0 ||
        Av().avcodec_receive_frame(context.get(), frame.get()) < 0 || frame->width <= 0 ||
        frame->height <= 0) {
        return nullptr;
    }
    return frame;
}

AvFramePtr Scale(const AVFrame& in, Size out) {
    constexpr AVPixelFormat JpegPixels = AV_PIX_FMT_YUVJ420P;
    SwsPtr scaler(Av().sws_getContext(in.width, in.height, static_cast<AVPixelFormat>(in.format),
                                      out.width, out.height, JpegPixels, SWS_BICUBIC, nullptr,
                                      nullptr, nullptr));
    AvFramePtr frame(Av().av_frame_alloc());
    if (!scaler || !frame) {
        return nullptr;
    }
    frame->width = out.width;
    frame->height = out.height;
    frame->format = JpegPixels;
    if (Av().av_frame_get_buffer(frame.get(), 0) < 0 ||
        Av().sws_scale_frame(scaler.get(), frame.get(), &in) < 0) {
        return nullptr;
    }
    return frame;
}

// The context frees its luminance matrix but not the chrominance one, which is taken back before
// the context goes.
struct ChromaMatrixRelease {
    void operator()(AVCodecContext* context) const {
        Av().av_free(context->chroma_intra_matrix);
        context->chroma_intra_matrix = nullptr;
        Av().avcodec_free_context(&context);
    }
};

ByteVector Encode(AVFrame& frame) {
    const AVCodec* codec = Av().avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    const std::unique_ptr<AVCodecContext, ChromaMatrixRelease> context(
        codec ? Av().avcodec_alloc_context3(codec) : nullptr);
    AvPacketPtr packet(Av().av_packet_alloc());
    if (!context || !packet) {
        return {};
    }
    context->width = frame.width;
    context->height = frame.height;
    context->pix_fmt = static_cast<AVPixelFormat>(frame.format);
    context->color_range = AVCOL_RANGE_JPEG;
    context->time_base = {1, 1};
    context->flags |= AV_CODEC_FLAG_QSCALE;
    context->global_quality = FF_QP2LAMBDA * MatrixAsGiven;
    context->intra_matrix = ScaledTable(LuminanceTable);
    context->chroma_intra_matrix = ScaledTable(ChrominanceTable);
    frame.quality = context->global_quality;
    if (!context->intra_matrix || !context->chroma_intra_matrix ||
        Av().avcodec_open2(context.get(), codec, nullptr) < 0 ||
        Av().avcodec_send_frame(context.get(), &frame) < 0 ||
        Av().avcodec_send_frame(context.get(), nullptr) < 0 ||
        Av().avcodec_receive_packet(context.get(), packet.get()) < 0) {
        return {};
    }
    return ByteVector(reinterpret_cast<const char*>(packet->data),
                      static_cast<unsigned int>(packet->size));
}
} // namespace

ByteVector CoverScaler::Fit(const ByteVector& picture, const PictureHeader& header, uint32_t size) {
    const FFmpegLibrary* library = FFmpegLibrary::Get();
    if (!library || !library->Images() || header.Pixels() > MaxCoverPixels || size == 0) {
        return {};
    }
    const Size out = Fitted(header, size);
    const AvFramePtr decoded = Decode(picture, header, out);
    const AvFramePtr scaled = decoded ? Scale(*decoded, out) : nullptr;
    return scaled ? Encode(*scaled) : ByteVector();
}
