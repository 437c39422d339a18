#pragma once
// Helpers for the WAVE tests: scratch folders, RIFF images built byte by byte, and the settings
// a WAVE conversion reads.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/ConversionSettings.h"
#include "engine/WaveFormat.h"

namespace wavetest {

inline std::string U32(uint32_t v) {
    return std::string(reinterpret_cast<const char*>(&v), 4);
}
inline std::string U16(uint16_t v) {
    return std::string(reinterpret_cast<const char*>(&v), 2);
}

// One chunk: id, size, payload and the pad byte that an odd size needs.
inline std::string Chunk(const char* id, const std::string& payload, bool pad = true) {
    std::string chunk = std::string(id, 4) + U32(static_cast<uint32_t>(payload.size())) + payload;
    if (pad && payload.size() % 2 == 1)
        chunk += '\0';
    return chunk;
}

inline std::string Riff(const std::string& chunks) {
    return "RIFF" + U32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

// The format chunk payload: the record (16 bytes when it has no extra bytes) and the extra bytes.
inline std::string FmtPayload(const WAVEFORMATEX& f, const std::string& extra = {},
                              bool withCbSize = false) {
    std::string p(reinterpret_cast<const char*>(&f), 16);
    if (withCbSize || !extra.empty())
        p += U16(f.cbSize);
    return p + extra;
}

inline std::string PcmWave(const WAVEFORMATEX& f, const std::string& samples) {
    return Riff(Chunk("fmt ", FmtPayload(f)) + Chunk("data", samples));
}

// A scratch folder removed at the end of the test; it also isolates the settings store.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "bmc-wave-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        ::setenv("XDG_CONFIG_HOME", (path_ / "config").c_str(), 1);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Settings for a WAVE output in `format` (a record followed by its cbSize extra bytes).
inline void UseWaveOutput(const std::string& outputPath, const WAVEFORMATEX& format,
                          const std::string& extra = {}) {
    auto& s = Settings();
    s.TargetFormat = tfWave;
    s.OutputPath = outputPath;
    s.WaveOutputFormat.fill(0);
    std::memcpy(s.WaveOutputFormat.data(), &format, sizeof format);
    std::memcpy(s.WaveOutputFormat.data() + sizeof format, extra.data(), extra.size());
    s.WriteError = false;
}

// Runs a shell command; its standard output, or the exit status reported by the test.
inline std::string Run(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, got);
        EXPECT_EQ(::pclose(pipe), 0) << command;
    }
    return out;
}

} // namespace wavetest
