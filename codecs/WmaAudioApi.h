#pragma once
// The interfaces between the core and the WMA codec module (libbmc-wma.so). They are abstract
// classes whose virtual slots keep a fixed order, so the module and the core agree on the layout
// without sharing code. None of them has a virtual destructor: an object is destroyed only by its
// own Release (reader, writer) or by its owner (callback).
#include <cstdint>

#include "engine/WaveFormat.h"

using HRESULT = int32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
// The reader could not open or read the file (missing, not permitted, not a regular file, a
// failed read), as opposed to a file it cannot decode.
inline constexpr HRESULT WMA_E_UNREADABLE = static_cast<HRESULT>(0x8007001E);
// The writer's file refused a write (a full disk): a failure of the customer range whose code is
// that write's errno.
inline constexpr HRESULT WmaWriteRefused(int error) {
    return static_cast<HRESULT>(0xA0000000u | (static_cast<uint32_t>(error) & 0xFFFFu));
}
inline constexpr int WmaRefusedErrno(HRESULT result) {
    const auto bits = static_cast<uint32_t>(result);
    return (bits & 0xFFFF0000u) == 0xA0000000u ? static_cast<int>(bits & 0xFFFFu) : 0;
}

// Statuses the reader reports to its callback; each of these ends the stream.
enum WMAudioStatus : uint32_t {
    WMA_STATUS_ERROR = 0,         // decoding or reading failed
    WMA_STATUS_END_OF_FILE = 3,   // every sample has been delivered
    WMA_STATUS_NO_RIGHTS = 6,     // the content is protected
    WMA_STATUS_MISSING_CODEC = 7, // no decoder exists for the file's codec
};

// Types of attribute values.
enum WMAudioAttributeType : uint32_t { WMA_TYPE_DWORD = 0 };

// The reader's "Duration" attribute: a DWORD in milliseconds, the unit of its time stamps.
inline constexpr const char* WMA_ATTRIBUTE_DURATION = "Duration";

class IWMAudioUnknown {
public:
    virtual HRESULT QueryInterface(const void* interfaceId, void** object) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    ~IWMAudioUnknown() = default;
};

class IWMAudioReadCallback : public IWMAudioUnknown {
public:
    // PCM in the reader's output format; timeMs is the position of its first sample.
    virtual HRESULT OnSample(const uint8_t* data, uint32_t byteCount, uint64_t timeMs) = 0;
    // One of WMAudioStatus, or another value that does not end the stream.
    virtual HRESULT OnStatus(uint32_t status, HRESULT result, const void* param) = 0;

protected:
    ~IWMAudioReadCallback() = default;
};

class IWMAudioReader : public IWMAudioUnknown {
public:
    // length: in, the size of value; out, the size of the attribute's value.
    virtual HRESULT GetAttributeByName(const char* name, uint32_t* type, uint8_t* value,
                                       uint16_t* length) = 0;
    virtual HRESULT Reserved4() = 0;
    virtual HRESULT Reserved5() = 0;
    // 16-bit PCM at the file's sample rate and channel count.
    virtual HRESULT GetOutputFormat(WAVEFORMATEX* format, uint32_t size) = 0;
    // Decodes on a thread of the reader's own, delivering to the callback until a status ends it.
    virtual HRESULT Start() = 0;
    // Returns once the reader's thread has ended; no callback runs after that.
    virtual HRESULT Stop() = 0;

protected:
    ~IWMAudioReader() = default;
};

class IWMAudioWriter : public IWMAudioUnknown {
public:
    virtual HRESULT Reserved3() = 0;
    // The PCM that WriteSamples receives: integer PCM of 8 to 32 bits or 32/64-bit float.
    virtual HRESULT SetInputFormat(const WAVEFORMATEX* format) = 0;
    // sampleRate 0 keeps the input's rate; flags must be 0.
    virtual HRESULT SetOutputFormat(uint32_t bitRate, uint32_t sampleRate, uint32_t channels,
                                    uint32_t flags) = 0;
    virtual HRESULT Reserved6() = 0;
    // Any byte count; a sample split between two calls is joined. S_OK on success.
    virtual HRESULT WriteSamples(const void* data, uint32_t byteCount) = 0;
    // Encodes what is held back and completes the file; later writes fail.
    virtual HRESULT Flush() = 0;

protected:
    ~IWMAudioWriter() = default;
};

// The module's entry points. Paths are UTF-8.
extern "C" {
using WMAudioCreateReaderFn = HRESULT (*)(const char* path, IWMAudioReadCallback* callback,
                                          IWMAudioReader** reader, uint32_t reserved);
using WMAudioCreateWriterFn = HRESULT (*)(const char* path, IWMAudioWriter** writer);
}
