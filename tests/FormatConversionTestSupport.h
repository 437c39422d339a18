#pragma once
// Helpers for the wave-format tests: temporary folders, a minimal RIFF WAVE writer and reader,
// test signals, running the independent command-line tools, and whole-stream conversion.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "TestFolder.h"
#include "engine/WaveFormat.h"
#include "sinks/PcmFormatConverter.h"

namespace conversiontest {

class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "bmc-conversion-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::vector<uint8_t> Bytes(const WAVEFORMATEX& f) {
    std::vector<uint8_t> v(sizeof f);
    std::memcpy(v.data(), &f, sizeof f);
    return v;
}

inline const WAVEFORMATEX* Record(const std::vector<uint8_t>& v) {
    return reinterpret_cast<const WAVEFORMATEX*>(v.data());
}

inline void Put32(std::ofstream& o, uint32_t v) {
    o.write(reinterpret_cast<char*>(&v), 4);
}

// A RIFF WAVE file: the format record (with its extra bytes) and the data chunk.
inline void WriteWave(const std::string& path, const std::vector<uint8_t>& format,
                      const std::vector<uint8_t>& data) {
    std::ofstream o(path, std::ios::binary);
    o.write("RIFF", 4);
    Put32(o, static_cast<uint32_t>(4 + 8 + format.size() + 8 + data.size()));
    o.write("WAVEfmt ", 8);
    Put32(o, static_cast<uint32_t>(format.size()));
    o.write(reinterpret_cast<const char*>(format.data()),
            static_cast<std::streamsize>(format.size()));
    o.write("data", 4);
    Put32(o, static_cast<uint32_t>(data.size()));
    o.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

struct Wave {
    std::vector<uint8_t> format; // the whole "fmt " payload
    std::vector<uint8_t> data;
};

inline std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream i(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(i), std::istreambuf_iterator<char>()};
}

inline bool ReadWave(const std::string& path, Wave& wave) {
    const auto file = ReadFile(path);
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0)
        return false;
    for (size_t at = 12; at + 8 <= file.size();) {
        uint32_t size = 0;
        std::memcpy(&size, file.data() + at + 4, 4);
        const size_t body = at + 8;
        const size_t n = std::min<size_t>(size, file.size() - body);
        if (std::memcmp(file.data() + at, "fmt ", 4) == 0)
            wave.format.assign(file.begin() + body, file.begin() + body + n);
        else if (std::memcmp(file.data() + at, "data", 4) == 0)
            wave.data.assign(file.begin() + body, file.begin() + body + n);
        at = body + size + (size & 1);
    }
    if (wave.format.size() == 16)
        wave.format.resize(18, 0);
    return wave.format.size() >= 18;
}

// Runs a shell command; its standard output, whatever its exit status.
inline std::string RunTool(const std::string& command) {
    int status = 0;
    return testtools::ShellOutput(command, status);
}

// A sine of the given frequency in 16-bit PCM, the same on every channel.
inline std::vector<uint8_t> Sine16(uint32_t rate, uint16_t channels, uint32_t frames,
                                   double hz = 1000.0, double amplitude = 0.5) {
    std::vector<uint8_t> out(static_cast<size_t>(frames) * channels * 2);
    auto* s = reinterpret_cast<int16_t*>(out.data());
    for (uint32_t i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>(
            std::lround(32767.0 * amplitude * std::sin(2 * M_PI * hz * i / rate)));
        for (uint16_t c = 0; c < channels; ++c)
            s[static_cast<size_t>(i) * channels + c] = v;
    }
    return out;
}

inline std::vector<int16_t> Samples16(const std::string& bytes) {
    std::vector<int16_t> s(bytes.size() / 2);
    std::memcpy(s.data(), bytes.data(), s.size() * 2);
    return s;
}

inline std::vector<int16_t> Samples16(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> s(bytes.size() / 2);
    std::memcpy(s.data(), bytes.data(), s.size() * 2);
    return s;
}

// Signal-to-noise ratio of a sine (1 kHz unless told) against the best-fitting ideal sine
// (amplitude, phase and offset fitted by least squares), leaving out the edges.
inline double SineSnr(const std::vector<int16_t>& x, double rate, double hz = 1000.0) {
    const size_t skip = 2000;
    double m[3][3] = {}, v[3] = {};
    for (size_t i = skip; i + skip < x.size(); ++i) {
        const double b[3] = {std::sin(2 * M_PI * hz * i / rate), std::cos(2 * M_PI * hz * i / rate),
                             1};
        for (int r = 0; r < 3; ++r) {
            v[r] += b[r] * x[i];
            for (int c = 0; c < 3; ++c)
                m[r][c] += b[r] * b[c];
        }
    }
    // Gaussian elimination on the 3x3 normal equations.
    for (int p = 0; p < 3; ++p)
        for (int r = p + 1; r < 3; ++r) {
            const double f = m[r][p] / m[p][p];
            for (int c = 0; c < 3; ++c)
                m[r][c] -= f * m[p][c];
            v[r] -= f * v[p];
        }
    double k[3];
    for (int r = 2; r >= 0; --r) {
        k[r] = v[r];
        for (int c = r + 1; c < 3; ++c)
            k[r] -= m[r][c] * k[c];
        k[r] /= m[r][r];
    }
    double signal = 0, noise = 0;
    for (size_t i = skip; i + skip < x.size(); ++i) {
        const double fit = k[0] * std::sin(2 * M_PI * hz * i / rate) +
                           k[1] * std::cos(2 * M_PI * hz * i / rate) + k[2];
        signal += fit * fit;
        noise += (x[i] - fit) * (x[i] - fit);
    }
    return 10 * std::log10(signal / noise);
}

// Converts a whole stream in pieces of the given sizes (cycled), then flushes.
inline std::vector<uint8_t> ConvertStream(const std::vector<uint8_t>& from,
                                          const std::vector<uint8_t>& to,
                                          const std::vector<uint8_t>& input,
                                          std::vector<uint32_t> pieces = {4410 * 4},
                                          bool flush = true) {
    bool failed = true;
    PcmFormatConverter converter(Record(from), Record(to), failed);
    std::vector<uint8_t> out;
    if (failed)
        return out;
    size_t at = 0;
    for (size_t i = 0; at < input.size(); ++i) {
        const auto n =
            static_cast<uint32_t>(std::min<size_t>(pieces[i % pieces.size()], input.size() - at));
        uint32_t produced = 0;
        auto converted = converter.Convert(input.data() + at, n, produced);
        if (converted)
            out.insert(out.end(), converted.get(), converted.get() + produced);
        else
            out.insert(out.end(), input.begin() + at, input.begin() + at + n);
        at += n;
    }
    uint32_t produced = 0;
    auto tail = flush ? converter.Flush(produced) : nullptr;
    if (tail)
        out.insert(out.end(), tail.get(), tail.get() + produced);
    return out;
}

} // namespace conversiontest
