#pragma once
// The stand-in for the platform's audio compression manager, over FFmpeg (libavcodec,
// libswresample). Same call names, flags and results as the platform's stream calls.
// A stream converts between two wave formats: a compressed format to or from PCM of its own rate
// and channel count, or PCM to PCM of any rate, channel count and sample size; anything else is
// refused, so callers take a two-stage path.
#include <cstddef>
#include <cstdint>

#include "engine/WaveFormat.h"

using MMRESULT = uint32_t;
class AcmStream;
using HACMSTREAM = AcmStream*;

inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NOMEM = 7;
inline constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT ACMERR_NOTPOSSIBLE = 512;

inline constexpr MMRESULT ACMERR_BUSY = 513;
inline constexpr MMRESULT ACMERR_UNPREPARED = 514;

inline constexpr uint32_t ACM_STREAMOPENF_QUERY = 0x1;
inline constexpr uint32_t ACM_STREAMOPENF_NONREALTIME = 0x4;
inline constexpr uint32_t ACM_STREAMSIZEF_SOURCE = 0x0;
inline constexpr uint32_t ACM_STREAMSIZEF_DESTINATION = 0x1;
inline constexpr uint32_t ACM_STREAMCONVERTF_BLOCKALIGN = 0x4;
inline constexpr uint32_t ACM_STREAMCONVERTF_START = 0x10;
inline constexpr uint32_t ACM_STREAMCONVERTF_END = 0x20;

inline constexpr uint32_t ACMSTREAMHEADER_STATUSF_DONE = 0x00010000;
inline constexpr uint32_t ACMSTREAMHEADER_STATUSF_PREPARED = 0x00020000;

// cbStruct is sizeof(ACMSTREAMHEADER); 84, the record's size on the original platform, is
// accepted as well.
struct ACMSTREAMHEADER {
    uint32_t cbStruct; // sizeof(ACMSTREAMHEADER)
    uint32_t fdwStatus;
    uintptr_t dwUser;
    uint8_t* pbSrc;
    uint32_t cbSrcLength;
    uint32_t cbSrcLengthUsed;
    uintptr_t dwSrcUser;
    uint8_t* pbDst;
    uint32_t cbDstLength;
    uint32_t cbDstLengthUsed;
    uintptr_t dwDstUser;
    uint32_t dwReservedDriver[10];
};

// pwfxSrc and pwfxDst point at a WAVEFORMATEX followed by its cbSize extra bytes.
// ACMERR_NOTPOSSIBLE when no conversion exists between the formats; MMSYSERR_INVALPARAM when the
// source record contradicts itself (sizes, rate or block layout that no data can match).
MMRESULT acmStreamOpen(HACMSTREAM* phas, void* had, const WAVEFORMATEX* pwfxSrc,
                       const WAVEFORMATEX* pwfxDst, void* pwfltr, uintptr_t dwCallback,
                       uintptr_t dwInstance, uint32_t fdwOpen);
// The same for records whose byte length is known (a file's "fmt " chunk): a cbSize that claims
// more bytes than the record has is refused instead of read past its end. A length of 16 means
// a record without cbSize.
MMRESULT acmStreamOpenSized(HACMSTREAM* phas, const WAVEFORMATEX* pwfxSrc, size_t cbSrc,
                            const WAVEFORMATEX* pwfxDst, size_t cbDst, uint32_t fdwOpen);
MMRESULT acmStreamSize(HACMSTREAM has, uint32_t cbInput, uint32_t* pdwOutputBytes,
                       uint32_t fdwSize);
MMRESULT acmStreamPrepareHeader(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwPrepare);
MMRESULT acmStreamConvert(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwConvert);
MMRESULT acmStreamUnprepareHeader(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwUnprepare);
MMRESULT acmStreamClose(HACMSTREAM has, uint32_t fdwClose);

// Format names and descriptions, for the WAVE format label and the "Wave Output Format" chooser.
inline constexpr uint32_t ACM_FORMATTAGDETAILSF_INDEX = 0x0;
inline constexpr uint32_t ACM_FORMATTAGDETAILSF_FORMATTAG = 0x1;
inline constexpr uint32_t ACM_FORMATDETAILSF_INDEX = 0x0;
inline constexpr uint32_t ACM_FORMATDETAILSF_FORMAT = 0x1;
inline constexpr uint32_t ACMDRIVERDETAILS_SUPPORTF_CODEC = 0x1;
inline constexpr uint32_t ACMDRIVERDETAILS_SUPPORTF_CONVERTER = 0x2;
inline constexpr size_t ACMFORMATTAGDETAILS_FORMATTAG_CHARS = 48;
inline constexpr size_t ACMFORMATDETAILS_FORMAT_CHARS = 128;

struct ACMFORMATTAGDETAILSA {
    uint32_t cbStruct; // sizeof(ACMFORMATTAGDETAILSA)
    uint32_t dwFormatTagIndex;
    uint32_t dwFormatTag;
    uint32_t cbFormatSize; // the largest record of the tag: 18 + extra bytes
    uint32_t fdwSupport;
    uint32_t cStandardFormats; // how many formats of the tag the stand-in writes
    char szFormatTag[ACMFORMATTAGDETAILS_FORMATTAG_CHARS];
};

struct ACMFORMATDETAILSA {
    uint32_t cbStruct; // sizeof(ACMFORMATDETAILSA)
    uint32_t dwFormatIndex;
    uint32_t dwFormatTag;
    uint32_t fdwSupport;
    WAVEFORMATEX* pwfx;
    uint32_t cbwfx;
    char szFormat[ACMFORMATDETAILS_FORMAT_CHARS];
};

// FORMATTAG: the name of dwFormatTag (any tag the stand-in reads, e.g. "IMA ADPCM").
// INDEX: the dwFormatTagIndex-th writable tag, with its name.
MMRESULT acmFormatTagDetailsA(void* had, ACMFORMATTAGDETAILSA* paftd, uint32_t fdwDetails);
// FORMAT: the description of pwfx (cbwfx bytes), e.g. "22,050 Hz, 4 Bit, Mono".
// INDEX: the dwFormatIndex-th writable format of dwFormatTag, written to pwfx when cbwfx holds it.
MMRESULT acmFormatDetailsA(void* had, ACMFORMATDETAILSA* pafd, uint32_t fdwDetails);
