#include "engine/WaveOutputFormatFile.h"

#include <cstring>

#include "engine/WaveFormat.h"
#include "system/AppPaths.h"
#include "system/RecordFile.h"

void LoadWaveOutputFormat(WaveOutputFormatBuffer& buffer) {
    const std::string path = WaveCompressPath();
    if (!path.empty()) {
        RecordFile file(path, RecordFile::faRead, RecordFile::fcOpenExisting, false);
        if (file.IsOpen() &&
            file.Read(buffer.data(), buffer.size(), RecordFile::fpCurrent) == buffer.size()) {
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
    RecordFile file(path, RecordFile::faWrite, RecordFile::fcCreateAlways, false);
    if (file.IsOpen()) {
        file.Write(buffer.data(), buffer.size(), RecordFile::fpCurrent);
    }
}
