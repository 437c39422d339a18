#pragma once
// The stand-in for the platform's audio compression manager, over FFmpeg (libavcodec,
// libswresample). Same call names, flags and results as the platform's stream calls.
// A stream converts between two wave formats: a compressed format to or from PCM of its own rate
// and channel count, or PCM to PCM of any rate, channel count and sample size; anything else is
// refused, so callers take a two-stage path.
#include <cstdint>

#include "engine/WaveFormat.h"

using MMRESULT = uint32_t;
struct AcmStream;
using HACMSTREAM = AcmStream*;

inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NOMEM = 7;
inline constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT ACMERR_NOTPOSSIBLE = 512;

inline constexpr uint32_t ACM_STREAMOPENF_NONREALTIME = 0x4;
inline constexpr uint32_t ACM_STREAMSIZEF_SOURCE = 0x0;
inline constexpr uint32_t ACM_STREAMSIZEF_DESTINATION = 0x1;
inline constexpr uint32_t ACM_STREAMCONVERTF_BLOCKALIGN = 0x4;
inline constexpr uint32_t ACM_STREAMCONVERTF_START = 0x10;
inline constexpr uint32_t ACM_STREAMCONVERTF_END = 0x20;

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
MMRESULT acmStreamOpen(HACMSTREAM* phas, void* had, const WAVEFORMATEX* pwfxSrc,
                       const WAVEFORMATEX* pwfxDst, void* pwfltr, uintptr_t dwCallback,
                       uintptr_t dwInstance, uint32_t fdwOpen);
MMRESULT acmStreamSize(HACMSTREAM has, uint32_t cbInput, uint32_t* pdwOutputBytes,
                       uint32_t fdwSize);
MMRESULT acmStreamPrepareHeader(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwPrepare);
MMRESULT acmStreamConvert(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwConvert);
MMRESULT acmStreamUnprepareHeader(HACMSTREAM has, ACMSTREAMHEADER* pash, uint32_t fdwUnprepare);
MMRESULT acmStreamClose(HACMSTREAM has, uint32_t fdwClose);
