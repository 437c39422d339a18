#pragma once
// A sink: writes one output file. Concrete sinks take
// (const char* outputPath, const WAVEFORMATEX* inputFormat, bool& ok); the destructor finalises
// the file. Any failed or short write raises Settings().WriteError.
#include <cstdint>

class clFileOutputBase {
public:
    virtual ~clFileOutputBase() = default;
    virtual bool Write(const void* data, uint32_t byteCount) {
        (void)data;
        (void)byteCount;
        return false;
    }

protected:
    clFileOutputBase() = default;
    clFileOutputBase(const clFileOutputBase&) = delete;
    clFileOutputBase& operator=(const clFileOutputBase&) = delete;
};
