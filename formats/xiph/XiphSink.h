#pragma once
// The sink for the Xiph.Org formats, whose modules encode a whole stream: hands the PCM the
// format's encoder takes (as the format chooses it) to it in whole frames; the target format's
// module writes the file through the descriptor and finishes it when the sink goes.
#include <cstdint>
#include <memory>
#include <vector>

#include "codecs/StreamCodecApi.h"
#include "engine/AudioSink.h"
#include "engine/RowContext.h"
#include "engine/WaveFormat.h"
#include "formats/xiph/StreamTarget.h"
#include "system/CodecModules.h"
#include "system/UniqueFd.h"

class XiphSink : public AudioSink {
public:
    XiphSink(StreamTargetChooser choose, const WAVEFORMATEX* inputFormat, const RowContext& row,
             bool& ok);

    // The sink maker of a format whose encoder takes what choose says.
    template <StreamTargetChooser choose>
    static std::unique_ptr<AudioSink> Make(const WAVEFORMATEX* inputFormat, const RowContext& row,
                                           bool& ok) {
        return std::make_unique<XiphSink>(choose, inputFormat, row, ok);
    }

    // What the encoder of a format that chooses with choose takes (FormatInfo::SinkTakes).
    template <StreamTargetChooser choose>
    static std::vector<uint8_t> Takes(const WAVEFORMATEX& input,
                                      const ConversionSettings& settings) {
        const auto target = choose(input, settings);
        return target ? RecordBytes(target->Pcm) : std::vector<uint8_t>();
    }
    ~XiphSink() override;

    // False when the PCM could not be encoded (WriteError is raised too).
    bool Write(const void* data, uint32_t byteCount) override;
    bool Taking() const override { return stream_ != nullptr; }

    struct Encoder {
        stream_encoder_open_fn open = nullptr;
        stream_encoder_write_fn write = nullptr;
        stream_encoder_finish_fn finish = nullptr;
    };

private:
    bool Open(StreamTargetChooser choose, const WAVEFORMATEX* inputFormat, const RowContext& row);
    // An encoder's call that did not return StreamOk: the output is lost.
    void Failed(int status);

    RowResult& result_;
    UniqueFd file_;
    Encoder encoder_;
    StreamEncoder* stream_ = nullptr; // finished in the destructor, before the file closes
    uint32_t frameBytes_ = 0;
};
