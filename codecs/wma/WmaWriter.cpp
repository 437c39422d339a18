#include "codecs/wma/WmaWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

namespace {
constexpr uint32_t MaxInputChannels = 8;
constexpr uint32_t MaxInputRate = 384000;

bool IsUsableInput(const WAVEFORMATEX& f) {
    const bool integer =
        f.wFormatTag == WAVE_FORMAT_PCM && (f.wBitsPerSample == 8 || f.wBitsPerSample == 16 ||
                                            f.wBitsPerSample == 24 || f.wBitsPerSample == 32);
    const bool floating = f.wFormatTag == WAVE_FORMAT_IEEE_FLOAT &&
                          (f.wBitsPerSample == 32 || f.wBitsPerSample == 64);
    return (integer || floating) && f.nChannels >= 1 && f.nChannels <= MaxInputChannels &&
           f.nSamplesPerSec >= 1 && f.nSamplesPerSec <= MaxInputRate &&
           f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}
// A file that is there must be writable; a new one needs a folder that takes it.
bool CanCreate(const std::string& path) {
    if (path.empty())
        return false;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0)
        return !S_ISDIR(st.st_mode) && access(path.c_str(), W_OK) == 0;
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    return errno == ENOENT && access(folder.c_str(), W_OK | X_OK) == 0;
}
} // namespace

WmaWriter* WmaWriter::Create(const std::string& path) {
    if (!CanCreate(path))
        return nullptr;
    return new (std::nothrow) WmaWriter(path);
}

WmaWriter::~WmaWriter() {
    // Released without a flush: still leave a complete file.
    if (state_ == State::Configuring || state_ == State::Encoding)
        Flush();
}

HRESULT WmaWriter::SetInputFormat(const WAVEFORMATEX* format) {
    if (state_ != State::Configuring || format == nullptr || !IsUsableInput(*format))
        return E_INVALIDARG;
    input_ = *format;
    inputSet_ = true;
    return Configure();
}

HRESULT WmaWriter::SetOutputFormat(uint32_t bitRate, uint32_t sampleRate, uint32_t channels,
                                   uint32_t flags) {
    if (state_ != State::Configuring || bitRate == 0 || channels == 0 || flags != 0)
        return E_INVALIDARG;
    request_ = WmaOutputRequest{bitRate, sampleRate, channels};
    outputSet_ = true;
    return Configure();
}

HRESULT WmaWriter::Configure() {
    if (!inputSet_ || !outputSet_)
        return S_OK;
    return StartEncoding() ? S_OK : Failure();
}

bool WmaWriter::StartEncoding() {
    if (state_ == State::Encoding)
        return true;
    if (state_ != State::Configuring)
        return false;
    state_ = State::Failed;
    if (!inputSet_ || !outputSet_)
        return false;
    encoder_ = AsfAudioEncoder::Open(path_, input_, request_, refusedErrno_);
    if (!encoder_)
        return false;
    state_ = State::Encoding;
    return true;
}

HRESULT WmaWriter::WriteSamples(const void* data, uint32_t byteCount) {
    if (!StartEncoding() || (data == nullptr && byteCount != 0))
        return E_FAIL;
    const auto* bytes = static_cast<const uint8_t*>(data);
    const uint32_t align = input_.nBlockAlign;
    if (!partial_.empty()) {
        const uint32_t take = std::min<uint32_t>(align - partial_.size(), byteCount);
        partial_.insert(partial_.end(), bytes, bytes + take);
        bytes += take;
        byteCount -= take;
        if (partial_.size() == align && !encoder_->Write(partial_.data(), 1)) {
            state_ = State::Failed;
            return Failure();
        }
        if (partial_.size() == align)
            partial_.clear();
    }
    const uint32_t whole = byteCount / align;
    if (whole != 0 && !encoder_->Write(bytes, whole)) {
        state_ = State::Failed;
        return Failure();
    }
    partial_.assign(bytes + static_cast<size_t>(whole) * align, bytes + byteCount);
    return S_OK;
}

HRESULT WmaWriter::Flush() {
    if (!StartEncoding())
        return E_FAIL;
    // A trailing fraction of a sample cannot be encoded and is dropped.
    partial_.clear();
    state_ = State::Finished;
    const bool finished = encoder_->Finish();
    const HRESULT result = finished ? S_OK : Failure();
    encoder_.reset();
    return result;
}

HRESULT WmaWriter::Failure() {
    if (encoder_ && refusedErrno_ == 0)
        refusedErrno_ = encoder_->RefusedWriteErrno();
    return refusedErrno_ != 0 ? WmaWriteRefused(refusedErrno_) : E_FAIL;
}
