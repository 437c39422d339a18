#pragma once
// The source for Windows Media Audio files (.wma, .wax). The WMA module's reader decodes on a
// thread of its own and its callback writes the PCM straight into the sink; Pump only waits.
#include <memory>

#include "codecs/WmaAudioApi.h"
#include "engine/AudioSource.h"
#include "engine/ConversionError.h"
#include "engine/RowContext.h"
#include "sinks/OutputSink.h"
#include "formats/wma/WmaSampleReceiver.h"

class WmaSource : public AudioSource {
public:
    WmaSource(const char* inputPath, const RowContext& row, ConversionError& code);
    // Stops the reader before the sink goes, so no sample reaches a destroyed sink.
    ~WmaSource() override;

    // Waits up to 25 ms for the reader to finish; true while it has not.
    bool Pump() override;
    // Milliseconds: the file's duration and the time of the latest samples.
    void GetProgress(int32_t progress[2]) override;

private:
    struct ReleaseReader {
        void operator()(IWMAudioReader* reader) const { reader->Release(); }
    };

    std::unique_ptr<IWMAudioReader, ReleaseReader> reader_;
    std::unique_ptr<OutputSink> sink_;
    std::unique_ptr<WmaSampleReceiver> callback_;
};
