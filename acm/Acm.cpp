#include "acm/Acm.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_set>

#include "acm/AcmFFmpeg.h"
#include "acm/AcmFormatCatalog.h"
#include "acm/AcmStream.h"

namespace {
// Handles are checked against the open streams, so a stale or foreign handle is refused
// instead of followed.
class OpenStreams {
public:
    HACMSTREAM Add(std::unique_ptr<AcmStream> s) {
        std::lock_guard lock(mutex_);
        HACMSTREAM h = s.release();
        live_.insert(h);
        return h;
    }
    bool Has(HACMSTREAM h) {
        std::lock_guard lock(mutex_);
        return live_.count(h) != 0;
    }
    std::unique_ptr<AcmStream> Remove(HACMSTREAM h) {
        std::lock_guard lock(mutex_);
        if (live_.erase(h) == 0)
            return nullptr;
        return std::unique_ptr<AcmStream>(h);
    }

private:
    std::mutex mutex_;
    std::unordered_set<HACMSTREAM> live_;
};

OpenStreams& Streams() {
    static OpenStreams streams;
    return streams;
}

size_t RecordBytes(const WAVEFORMATEX* f) {
    return f ? sizeof(WAVEFORMATEX) + f->cbSize : 0;
}

bool HeaderIsValid(const ACMSTREAMHEADER* h) {
    return h && (h->cbStruct == sizeof(ACMSTREAMHEADER) || h->cbStruct == 84);
}

void CopyText(char* to, size_t capacity, const std::string& text) {
    const size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(to, text.data(), n);
    to[n] = '\0';
}
} // namespace

MMRESULT acmStreamOpenSized(HACMSTREAM* phas, const WAVEFORMATEX* pwfxSrc, size_t cbSrc,
                            const WAVEFORMATEX* pwfxDst, size_t cbDst, uint32_t fdwOpen) {
    if (phas)
        *phas = nullptr;
    if ((fdwOpen & ~(ACM_STREAMOPENF_QUERY | ACM_STREAMOPENF_NONREALTIME)) != 0)
        return MMSYSERR_INVALFLAG;
    const bool query = (fdwOpen & ACM_STREAMOPENF_QUERY) != 0;
    if (!pwfxSrc || !pwfxDst || (!phas && !query))
        return MMSYSERR_INVALPARAM;
    bool sourceMalformed = false;
    const auto source = ParseAcmFormat(pwfxSrc, cbSrc, &sourceMalformed);
    const auto destination = ParseAcmFormat(pwfxDst, cbDst);
    // Data described by a record that contradicts itself cannot be read as described: a bad
    // parameter, where a sound record without a codec is merely not possible here.
    if (sourceMalformed)
        return MMSYSERR_INVALPARAM;
    if (!source || !destination)
        return ACMERR_NOTPOSSIBLE;
    auto stream = AcmStream::Open(*source, *destination);
    if (!stream)
        return ACMERR_NOTPOSSIBLE;
    if (!query)
        *phas = Streams().Add(std::move(stream));
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamOpen(HACMSTREAM* phas, void* had, const WAVEFORMATEX* pwfxSrc,
                       const WAVEFORMATEX* pwfxDst, void* pwfltr, uintptr_t dwCallback,
                       uintptr_t dwInstance, uint32_t fdwOpen) {
    if (phas)
        *phas = nullptr;
    if (had || pwfltr || dwCallback || dwInstance)
        return MMSYSERR_INVALPARAM; // no drivers, filters or callbacks here
    return acmStreamOpenSized(phas, pwfxSrc, RecordBytes(pwfxSrc), pwfxDst, RecordBytes(pwfxDst),
                              fdwOpen);
}

MMRESULT acmStreamSize(HACMSTREAM has, uint32_t cbInput, uint32_t* pdwOutputBytes,
                       uint32_t fdwSize) {
    if (!Streams().Has(has))
        return MMSYSERR_INVALHANDLE;
    if (!pdwOutputBytes)
        return MMSYSERR_INVALPARAM;
    *pdwOutputBytes = 0;
    bool ok = false;
    if (fdwSize == ACM_STREAMSIZEF_SOURCE)
        ok = has->DestinationSize(cbInput, *pdwOutputBytes);
    else if (fdwSize == ACM_STREAMSIZEF_DESTINATION)
        ok = has->SourceSize(cbInput, *pdwOutputBytes);
    else
        return MMSYSERR_INVALFLAG;
    return ok ? MMSYSERR_NOERROR : ACMERR_NOTPOSSIBLE;
}

MMRESULT acmStreamPrepareHeader(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwPrepare) {
    if (!Streams().Has(has))
        return MMSYSERR_INVALHANDLE;
    if (!HeaderIsValid(pash))
        return MMSYSERR_INVALPARAM;
    if (fdwPrepare != 0)
        return MMSYSERR_INVALFLAG;
    pash->fdwStatus = ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamConvert(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwConvert) {
    if (!Streams().Has(has))
        return MMSYSERR_INVALHANDLE;
    if (!HeaderIsValid(pash))
        return MMSYSERR_INVALPARAM;
    constexpr uint32_t known =
        ACM_STREAMCONVERTF_BLOCKALIGN | ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END;
    if ((fdwConvert & ~known) != 0)
        return MMSYSERR_INVALFLAG;
    if ((pash->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) == 0)
        return ACMERR_UNPREPARED;
    pash->cbSrcLengthUsed = 0;
    pash->cbDstLengthUsed = 0;
    if ((!pash->pbSrc && pash->cbSrcLength) || (!pash->pbDst && pash->cbDstLength))
        return MMSYSERR_INVALPARAM;
    // Whole blocks are what the stand-in converts in any case, so BLOCKALIGN changes nothing.
    const auto step = has->Convert(pash->pbSrc, pash->cbSrcLength, pash->pbDst, pash->cbDstLength,
                                   (fdwConvert & ACM_STREAMCONVERTF_START) != 0,
                                   (fdwConvert & ACM_STREAMCONVERTF_END) != 0);
    pash->cbSrcLengthUsed = step.sourceUsed;
    pash->cbDstLengthUsed = step.destinationUsed;
    pash->fdwStatus |= ACMSTREAMHEADER_STATUSF_DONE;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamUnprepareHeader(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwUnprepare) {
    if (!Streams().Has(has))
        return MMSYSERR_INVALHANDLE;
    if (!HeaderIsValid(pash))
        return MMSYSERR_INVALPARAM;
    if (fdwUnprepare != 0)
        return MMSYSERR_INVALFLAG;
    if ((pash->fdwStatus & ACMSTREAMHEADER_STATUSF_PREPARED) == 0)
        return ACMERR_UNPREPARED;
    pash->fdwStatus &= ~ACMSTREAMHEADER_STATUSF_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT acmStreamClose(HACMSTREAM has, uint32_t fdwClose) {
    if (fdwClose != 0)
        return MMSYSERR_INVALFLAG;
    return Streams().Remove(has) ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

MMRESULT acmFormatTagDetailsA(void* had, ACMFORMATTAGDETAILSA* d, uint32_t fdwDetails) {
    if (had || !d || d->cbStruct < sizeof(ACMFORMATTAGDETAILSA))
        return MMSYSERR_INVALPARAM;
    if (fdwDetails == ACM_FORMATTAGDETAILSF_INDEX) {
        const auto tags = AcmWritableTags();
        if (d->dwFormatTagIndex >= tags.size())
            return ACMERR_NOTPOSSIBLE;
        d->dwFormatTag = tags[d->dwFormatTagIndex];
    } else if (fdwDetails != ACM_FORMATTAGDETAILSF_FORMATTAG) {
        return MMSYSERR_INVALFLAG;
    }
    if (d->dwFormatTag > 0xFFFF)
        return ACMERR_NOTPOSSIBLE;
    const auto tag = static_cast<uint16_t>(d->dwFormatTag);
    const std::string name = AcmFormatTagName(tag);
    if (name.empty())
        return ACMERR_NOTPOSSIBLE;
    const auto records = AcmOfferedRecords(tag);
    size_t largest = sizeof(WAVEFORMATEX);
    for (const auto& r : records)
        largest = std::max(largest, r.size());
    d->cbFormatSize = static_cast<uint32_t>(largest);
    d->cStandardFormats = static_cast<uint32_t>(records.size());
    d->fdwSupport = tag == WAVE_FORMAT_PCM ? ACMDRIVERDETAILS_SUPPORTF_CONVERTER
                                           : ACMDRIVERDETAILS_SUPPORTF_CODEC;
    CopyText(d->szFormatTag, sizeof d->szFormatTag, name);
    return MMSYSERR_NOERROR;
}

MMRESULT acmFormatDetailsA(void* had, ACMFORMATDETAILSA* d, uint32_t fdwDetails) {
    if (had || !d || d->cbStruct < sizeof(ACMFORMATDETAILSA) || !d->pwfx)
        return MMSYSERR_INVALPARAM;
    if (fdwDetails == ACM_FORMATDETAILSF_INDEX) {
        if (d->dwFormatTag > 0xFFFF)
            return ACMERR_NOTPOSSIBLE;
        const auto records = AcmOfferedRecords(static_cast<uint16_t>(d->dwFormatTag));
        if (d->dwFormatIndex >= records.size())
            return ACMERR_NOTPOSSIBLE;
        const auto& record = records[d->dwFormatIndex];
        if (d->cbwfx < record.size())
            return MMSYSERR_INVALPARAM;
        std::memcpy(d->pwfx, record.data(), record.size());
    } else if (fdwDetails == ACM_FORMATDETAILSF_FORMAT) {
        if (d->cbwfx < 16)
            return MMSYSERR_INVALPARAM;
    } else {
        return MMSYSERR_INVALFLAG;
    }
    const std::string text = AcmFormatDescription(d->pwfx, d->cbwfx);
    if (text.empty())
        return ACMERR_NOTPOSSIBLE;
    d->dwFormatTag = d->pwfx->wFormatTag;
    d->fdwSupport = d->dwFormatTag == WAVE_FORMAT_PCM ? ACMDRIVERDETAILS_SUPPORTF_CONVERTER
                                                      : ACMDRIVERDETAILS_SUPPORTF_CODEC;
    CopyText(d->szFormat, sizeof d->szFormat, text);
    return MMSYSERR_NOERROR;
}
