// Feeds arbitrary bytes to the WAVE header scan, in memory and through the source as a file.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "catalog/ConversionSettings.h"
#include "catalog/FormatTable.h"
#include "engine/OpenAudioSource.h"
#include "formats/wave/WaveHeader.h"
#include "system/CodecModules.h"

namespace {

const std::string& ScratchFile() {
    static const std::string path = [] {
        std::string pattern = "/tmp/bmc-fuzz-wave-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        return pattern + "/in.wav";
    }();
    return path;
}

void CheckScan(const uint8_t* data, std::size_t size) {
    const auto header = ScanWaveHeader(std::span(data, size));
    if (!header)
        return;
    // What the scan hands out must describe memory it owns, consistently.
    if (header->format.size() != sizeof(WAVEFORMATEX) + header->Format()->cbSize)
        std::abort();
    if (header->dataOffset > size)
        std::abort();
}

// Opens the bytes as a file and pumps a few blocks into a WAVE output that discards them.
void CheckSource(const uint8_t* data, std::size_t size) {
    const int fd = ::open(ScratchFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return;
    const bool written = ::write(fd, data, size) == static_cast<ssize_t>(size);
    ::close(fd);
    if (!written)
        return;
    ConversionSettings settings;
    settings.TargetFormat = FindTargetFormat("wav")->Number;
    const WAVEFORMATEX target = MakePcmFormat(2, 44100, 16);
    std::memcpy(settings.WaveOutputFormat.data(), &target, sizeof target);
    static CodecModules codecs;
    const JobEnvironment environment{codecs, ::pread, ""};
    RowResult result;
    const RowContext row{settings, "/dev/null", environment, result};
    ConversionError code = ConversionError::ceNone;
    auto source = OpenAudioSource(ScratchFile().c_str(), row, code);
    int32_t progress[2] = {};
    if (source) {
        for (int i = 0; i < 4 && source->Pump(); ++i) {
        }
        source->GetProgress(progress);
    }
    if (progress[0] < 0 || progress[1] < 0 || progress[1] > progress[0])
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    CheckScan(data, size);
    CheckSource(data, size);
    return 0;
}
