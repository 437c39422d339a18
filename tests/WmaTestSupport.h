#pragma once
// Helpers for the WMA tests: scratch folders, the independent command-line tools, the module's
// entry points, a callback that records what the reader delivers, and whole conversions.
#include <gtest/gtest.h>

#include "RowTestSupport.h"
#include "TestFolder.h"

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "catalog/ConversionSettings.h"
#include "catalog/FormatTable.h"
#include "codecs/WmaAudioApi.h"
#include "engine/OpenAudioSource.h"
#include "formats/wma/WmaOptions.h"
#include "system/CodecModule.h"

namespace wmatest {

using testtools::Quote;
using testtools::Shell;

using testtools::ScratchDir;

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A test tone made by ffmpeg; codecArgs e.g. "-c:a wmav2 -b:a 64k".
inline void MakeTone(const std::string& path, int rate, int channels, double seconds,
                     const std::string& codecArgs) {
    Shell("ffmpeg -v error -y -f lavfi -i 'sine=frequency=440:sample_rate=" + std::to_string(rate) +
          ":duration=" + std::to_string(seconds) + "' -ac " + std::to_string(channels) + " " +
          codecArgs + " " + Quote(path));
}

// Five minutes of wmav2 made cheaply (ten seconds copied thirty times over): long enough that
// the reader is still decoding after a few pumps.
inline void MakeLongWma(const std::string& path) {
    const std::string piece = path + ".piece.wma";
    MakeTone(piece, 44100, 2, 10, "-c:a wmav2 -b:a 64k");
    Shell("ffmpeg -v error -y -stream_loop 29 -i " + Quote(piece) + " -c copy -f asf " +
          Quote(path));
}

// One value of ffprobe's answer for the first audio stream ("stream=...") or the container.
inline std::string Probe(const std::string& path, const std::string& entry) {
    std::string value = Shell("ffprobe -v error -select_streams a:0 -show_entries " + entry +
                              " -of default=noprint_wrappers=1:nokey=1 " + Quote(path));
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r'))
        value.pop_back();
    return value;
}

// The sample frames ffmpeg decodes from a file, as 16-bit interleaved PCM.
inline std::string DecodeWithFfmpeg(const std::string& path) {
    return Shell("ffmpeg -v error -i " + Quote(path) + " -f s16le -");
}

// A copy of an ASF file whose content-description object (written by ffmpeg for a title of at
// least two characters) is turned into a content-encryption object naming the protection type
// (DRM, or an empty one), or into an extended-content-encryption object.
inline std::string ProtectedCopy(std::string asf, const std::string& type = "DRM",
                                 bool extended = false) {
    const std::string description(
        "\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
    const std::string encryption("\xFB\xB3\x11\x22\x23\xBD\xD2\x11\xB4\xB7\x00\xA0\xC9\x55\xFC\x6E",
                                 16);
    const std::string extendedEncryption(
        "\x14\xE6\x8A\x29\x22\x26\x17\x4C\xB9\x35\xDA\xE0\x7E\xE9\x28\x9C", 16);
    const size_t at = asf.find(description, 30);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no content description object";
        return asf;
    }
    uint64_t size = 0;
    std::memcpy(&size, asf.data() + at + 16, 8);
    const auto put32 = [](std::string& s, uint32_t v) {
        s.append(reinterpret_cast<const char*>(&v), 4);
    };
    std::string body;
    if (extended) {
        put32(body, static_cast<uint32_t>(size - 24 - 4)); // its data: anything
        body.append(size - 24 - 4, 'x');
    } else {
        put32(body, 0); // no secret data
        put32(body, static_cast<uint32_t>(type.empty() ? 0 : type.size() + 1));
        body.append(type.c_str(), type.empty() ? 0 : type.size() + 1);
        const uint32_t keyLength = static_cast<uint32_t>(size - 24 - body.size() - 8);
        put32(body, keyLength);
        body.append(keyLength, '1');
        put32(body, 0); // no licence address
    }
    if (body.size() != size - 24) {
        ADD_FAILURE() << "content description object too small";
        return asf;
    }
    asf.replace(at, 16, extended ? extendedEncryption : encryption);
    asf.replace(at + 24, body.size(), body);
    return asf;
}

// The module's entry points, loaded straight from the build's codec folder.
struct WmaModule {
    WmaModule() {
        handle = dlopen(BMC_CODEC_DIR "/libbmc-wma.so", RTLD_NOW | RTLD_LOCAL);
        if (handle != nullptr) {
            createReader =
                reinterpret_cast<WMAudioCreateReaderFn>(dlsym(handle, "WMAudioCreateReader"));
            createWriter =
                reinterpret_cast<WMAudioCreateWriterFn>(dlsym(handle, "WMAudioCreateWriter"));
        }
    }
    void* handle = nullptr; // never closed, as the program does
    WMAudioCreateReaderFn createReader = nullptr;
    WMAudioCreateWriterFn createWriter = nullptr;
};

inline const WmaModule& Module() {
    static const WmaModule module;
    return module;
}

// Releases a module object when the test ends.
struct ReleaseDeleter {
    void operator()(IWMAudioUnknown* object) const { object->Release(); }
};
template <class T> using Ref = std::unique_ptr<T, ReleaseDeleter>;

// Records samples and statuses from the reader's thread.
class RecordingCallback final : public IWMAudioReadCallback {
public:
    HRESULT QueryInterface(const void*, void**) override { return E_NOINTERFACE; }
    uint32_t AddRef() override { return ++references; }
    uint32_t Release() override { return --references; }
    HRESULT OnSample(const uint8_t* data, uint32_t byteCount, uint64_t timeMs) override {
        const std::lock_guard lock(mutex);
        pcm.append(reinterpret_cast<const char*>(data), byteCount);
        if (timeMs < lastTimeMs)
            timeWentBack = true;
        lastTimeMs = timeMs;
        if (!statuses.empty())
            sampleAfterStatus = true;
        done.notify_all();
        return S_OK;
    }
    HRESULT OnStatus(uint32_t status, HRESULT, const void*) override {
        const std::lock_guard lock(mutex);
        statuses.push_back(status);
        done.notify_all();
        return S_OK;
    }
    // False when no status came within the time.
    bool WaitForStatus(std::chrono::seconds limit = std::chrono::seconds(60)) {
        std::unique_lock lock(mutex);
        return done.wait_for(lock, limit, [this] { return !statuses.empty(); });
    }
    // Waits until some samples arrived (or a status ended the stream); false if neither came.
    bool WaitForSamples() {
        std::unique_lock lock(mutex);
        return done.wait_for(lock, std::chrono::seconds(60),
                             [this] { return !pcm.empty() || !statuses.empty(); });
    }

    std::mutex mutex;
    std::condition_variable done;
    std::string pcm;
    std::vector<uint32_t> statuses;
    uint64_t lastTimeMs = 0;
    bool timeWentBack = false;
    bool sampleAfterStatus = false;
    std::atomic<uint32_t> references{1};
};

// Conversions through the engine, as the worker runs them.

// The quality entry of that bit rate and sample rate, as the options form sets it.
inline void SetQuality(TestRow& row, int32_t bitRate, int32_t sampleRate) {
    row.settings.TargetFormat = FindTargetFormat("wma")->Number;
    const auto entry = std::find_if(WmaQualities.begin(), WmaQualities.end(), [&](const auto& q) {
        return q.Kbps == bitRate && q.SampleRate == sampleRate;
    });
    ASSERT_NE(entry, WmaQualities.end()) << bitRate << " kbit/s at " << sampleRate << " Hz";
    row.settings.Options.Set(WmaQualityOption, static_cast<int32_t>(entry - WmaQualities.begin()));
}

struct Conversion {
    ConversionError code = ConversionError::ceNone;
    int pumps = 0;
    bool ended = false; // Pump returned false before the limit
    int32_t progress[2] = {-1, -1};
};

// Converts one file as the worker does, pumping at most maxPumps times.
inline Conversion Convert(TestRow& row, const std::string& in, const std::string& out,
                          int maxPumps = 2400) {
    row.output = out;
    row.ClearResult();
    Conversion c;
    auto source = OpenAudioSource(in.c_str(), row.Context(), c.code);
    EXPECT_NE(source, nullptr) << in;
    if (!source)
        return c;
    if (c.code == ConversionError::ceNone) {
        while (c.pumps < maxPumps && !c.ended) {
            ++c.pumps;
            c.ended = !source->Pump();
        }
    }
    source->GetProgress(c.progress);
    return c;
}

inline double Duration(const std::string& path) {
    return std::stod(Probe(path, "format=duration"));
}

} // namespace wmatest
