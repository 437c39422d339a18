#include "engine/WaveOutputFormatFile.h"

#include <cstring>

#include "engine/WaveFormat.h"
#include "system/AppPaths.h"
#include "system/SFile.h"

void LoadWaveOutputFormat(WaveOutputFormatBuffer& buffer) {
    const std::string path = WaveCompressPath();
    if (!path.empty()) {
        SFile file(path, SFile::faRead, SFile::fcOpenExisting, false);
        if (file.IsOpen() &&
            file.Read(buffer.data(), buffer.size(), SFile::fpCurrent) == buffer.size()) {
            return;
        }
    }
    const WAVEFORMATEX standard = MakePcmFormat(2, 44100, 16);
    std::memcpy(buffer.data(), &standard, sizeof standard);
}

void SaveWaveOutputFormat(const WaveOutputFormatBuffer& buffer) {
    const std::string path = WaveCompressPath();
    if (path.empty()) {
        return;
    }
    SFile file(path, SFile::faWrite, SFile::fcCreateAlways, false);
    if (file.IsOpen()) {
        file.Write(buffer.data(), buffer.size(), SFile::fpCurrent);
    }
}
