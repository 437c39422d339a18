// Feeds arbitrary bytes, as a file, through the MP3 decoder module's entry points the way the
// MP3 source calls them.
#include <sys/mman.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "codecs/Mp3DecoderApi.h"

extern "C" {
int decoder_new(Mp3Decoder** decoder);
int file_input_module_register(Mp3InputModule* module);
int decoder_input_module_register(Mp3Decoder* decoder, const Mp3InputModule* module);
int decoder_input_new(Mp3Decoder* decoder, const char* path, int moduleId);
int decoder_input_open(Mp3Decoder* decoder);
int decoder_input_close(Mp3Decoder* decoder);
int decoder_delete(Mp3Decoder* decoder);
int decoder_decode(Mp3Decoder* decoder, void* pcm);
}

namespace {

// One in-memory file reused for every input.
const std::string& InputPath() {
    static const std::string path = [] {
        const int fd = memfd_create("fuzz-mp3", 0);
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

void WriteInput(const uint8_t* data, size_t size) {
    const int fd = std::stoi(InputPath().substr(sizeof "/proc/self/fd/" - 1));
    if (ftruncate(fd, 0) != 0)
        __builtin_trap();
    for (size_t done = 0; done < size;) {
        const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0)
            __builtin_trap();
        done += static_cast<size_t>(n);
    }
}

// libmpg123 is not instrumented, so coverage alone cannot tell a decodable input from noise.
// These loops turn how much was decoded, and in which format, into edge counts the fuzzer sees.
void Feedback(uint64_t totalBytes, const Mp3DecoderOutputState& out) {
    static volatile uint64_t sink;
    for (uint64_t i = 0; i < static_cast<uint64_t>(std::bit_width(totalBytes)); ++i)
        sink = sink + 1;
    for (uint32_t i = 0; i < (out.sampleRate / 1000) % 64; ++i)
        sink = sink + 1;
    if (out.stereo)
        sink = sink + 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteInput(data, size);
    Mp3Decoder* decoder = nullptr;
    if (decoder_new(&decoder) != 0)
        __builtin_trap();
    Mp3InputModule module{};
    file_input_module_register(&module);
    decoder_input_module_register(decoder, &module);
    if (decoder_input_new(decoder, InputPath().c_str(), Mp3InputModuleAuto) == 0 &&
        decoder_input_open(decoder) == 0) {
        static std::vector<uint8_t> pcm(Mp3DecMaxBytesPerDecode);
        int failures = 0;
        uint64_t total = 0;
        for (int calls = 0; calls < 100000 && failures < 64; ++calls) {
            const int result = decoder_decode(decoder, pcm.data());
            if (result == Mp3DecEndOfInput)
                break;
            failures = result == 0 ? 0 : failures + 1;
            if (result == 0)
                total += decoder->output->byteCount;
            if (result == 0 && decoder->output->byteCount > Mp3DecMaxBytesPerDecode)
                __builtin_trap();
        }
        Feedback(total, *decoder->output);
        decoder_input_close(decoder);
    }
    decoder_delete(decoder);
    return 0;
}
