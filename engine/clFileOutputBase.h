#pragma once
// A sink: writes one output file. Concrete sinks take
// (const WAVEFORMATEX* inputFormat, const RowContext& row, bool& ok) and write row.OutputPath; the
// destructor finalises the file. Any failed or short write raises row.Result.WriteError.
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
