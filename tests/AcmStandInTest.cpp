// The compression-manager stand-in's own contract: what it opens and refuses, sizes, flags,
// names and the formats it offers, and the quality of its resampling.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "acm/Acm.h"
#include "acm/AcmFormatCatalog.h"
#include "tests/AcmTestSupport.h"

using namespace acmtest;

namespace {
MMRESULT TryOpen(const std::vector<uint8_t>& from, const std::vector<uint8_t>& to) {
    HACMSTREAM s = nullptr;
    const MMRESULT r = acmStreamOpenSized(&s, Record(from), from.size(), Record(to), to.size(),
                                          ACM_STREAMOPENF_NONREALTIME);
    if (s)
        acmStreamClose(s, 0);
    return r;
}

} // namespace

TEST(AcmStandIn, RefusesHostileRecords) {
    const auto good = Bytes(MakePcmFormat(2, 44100, 16));
    auto with = [](auto change) {
        WAVEFORMATEX f = MakePcmFormat(2, 44100, 16);
        change(f);
        return Bytes(f);
    };
    const std::vector<std::vector<uint8_t>> bad = {
        with([](WAVEFORMATEX& f) { f.nChannels = 0; }),
        with([](WAVEFORMATEX& f) { f.nBlockAlign = 0; }),
        with([](WAVEFORMATEX& f) { f.nBlockAlign = 3; }),
        with([](WAVEFORMATEX& f) { f.nSamplesPerSec = 0; }),
        with([](WAVEFORMATEX& f) { f.nSamplesPerSec = 4000000000u; }),
        with([](WAVEFORMATEX& f) { f.wBitsPerSample = 0; }),
        with([](WAVEFORMATEX& f) { f.wFormatTag = 0x7777; }),
        with([](WAVEFORMATEX& f) { f.cbSize = 40; }), // claims bytes that are not there
        with([](WAVEFORMATEX& f) { f.wFormatTag = WAVE_FORMAT_EXTENSIBLE; }),
        {1, 0, 2, 0}, // shorter than a record
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        EXPECT_NE(TryOpen(bad[i], good), MMSYSERR_NOERROR) << i;
        EXPECT_NE(TryOpen(good, bad[i]), MMSYSERR_NOERROR) << i;
    }
    // Writing a readable-only format, and coded to coded, are refused: callers go through PCM.
    WAVEFORMATEX mp3{WAVE_FORMAT_MPEGLAYER3, 2, 44100, 16000, 1, 0, 0};
    EXPECT_EQ(TryOpen(good, Bytes(mp3)), ACMERR_NOTPOSSIBLE);
    const auto ima = AcmMakeWaveFormat(WAVE_FORMAT_IMA_ADPCM, 2, 44100, 4);
    const auto alaw = AcmMakeWaveFormat(WAVE_FORMAT_ALAW, 2, 44100, 8);
    EXPECT_EQ(TryOpen(ima, alaw), ACMERR_NOTPOSSIBLE);
    // A compressed format reaches PCM of its own rate and channels only.
    EXPECT_EQ(TryOpen(ima, Bytes(MakePcmFormat(2, 44100, 8))), MMSYSERR_NOERROR);
    EXPECT_EQ(TryOpen(ima, Bytes(MakePcmFormat(1, 44100, 16))), ACMERR_NOTPOSSIBLE);
    EXPECT_EQ(TryOpen(good, ima), MMSYSERR_NOERROR);
    EXPECT_EQ(TryOpen(Bytes(MakePcmFormat(1, 8000, 8)), ima), ACMERR_NOTPOSSIBLE);
    // An IMA record whose samples per block disagree with its block size.
    auto odd = ima;
    odd[18] ^= 1;
    EXPECT_EQ(TryOpen(good, odd), ACMERR_NOTPOSSIBLE);
}

TEST(AcmStandIn, HandlesAndHeadersAreChecked) {
    const auto pcm = Bytes(MakePcmFormat(1, 8000, 16));
    HACMSTREAM s = nullptr;
    ASSERT_EQ(acmStreamOpen(&s, nullptr, Record(pcm), Record(Bytes(MakePcmFormat(1, 8000, 8))),
                            nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME),
              MMSYSERR_NOERROR);
    uint8_t src[100] = {}, dst[100] = {};
    ACMSTREAMHEADER h{};
    h.cbStruct = sizeof h;
    h.pbSrc = src;
    h.cbSrcLength = 101 - 1;
    h.pbDst = dst;
    h.cbDstLength = sizeof dst;
    EXPECT_EQ(acmStreamConvert(s, &h, 0), ACMERR_UNPREPARED);
    EXPECT_EQ(acmStreamPrepareHeader(s, &h, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(acmStreamConvert(s, &h, 0x8000), MMSYSERR_INVALFLAG);
    EXPECT_EQ(acmStreamConvert(s, &h, ACM_STREAMCONVERTF_BLOCKALIGN), MMSYSERR_NOERROR);
    EXPECT_EQ(h.cbSrcLengthUsed, 100u);
    EXPECT_EQ(h.cbDstLengthUsed, 50u);
    EXPECT_EQ(acmStreamUnprepareHeader(s, &h, 0), MMSYSERR_NOERROR);
    uint32_t size = 0;
    EXPECT_EQ(acmStreamSize(s, 1000, &size, ACM_STREAMSIZEF_SOURCE), MMSYSERR_NOERROR);
    EXPECT_EQ(size, 500u);
    EXPECT_EQ(acmStreamSize(s, 500, &size, ACM_STREAMSIZEF_DESTINATION), MMSYSERR_NOERROR);
    EXPECT_EQ(size, 1000u);
    EXPECT_EQ(acmStreamClose(s, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(acmStreamClose(s, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(acmStreamSize(s, 1000, &size, 0), MMSYSERR_INVALHANDLE);
}

TEST(AcmStandIn, BlockAlignedEncodingReportsWhatItUsed) {
    const auto pcm = Bytes(MakePcmFormat(1, 22050, 16));
    const auto ima = AcmMakeWaveFormat(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4);
    HACMSTREAM s = nullptr;
    ASSERT_EQ(acmStreamOpen(&s, nullptr, Record(pcm), Record(ima), nullptr, 0, 0, 0),
              MMSYSERR_NOERROR);
    const auto input = Sine16(22050, 1, 3000);
    std::vector<uint8_t> out(4096);
    ACMSTREAMHEADER h{};
    h.cbStruct = sizeof h;
    h.pbSrc = const_cast<uint8_t*>(input.data());
    h.cbSrcLength = static_cast<uint32_t>(input.size());
    h.pbDst = out.data();
    h.cbDstLength = static_cast<uint32_t>(out.size());
    acmStreamPrepareHeader(s, &h, 0);
    ASSERT_EQ(acmStreamConvert(s, &h, ACM_STREAMCONVERTF_BLOCKALIGN | ACM_STREAMCONVERTF_START),
              MMSYSERR_NOERROR);
    EXPECT_EQ(h.cbSrcLengthUsed, 2u * 2 * 1017); // two whole blocks of 1017 samples
    EXPECT_EQ(h.cbDstLengthUsed, 2u * 512);
    // The end flag pads the short last block.
    h.pbSrc += h.cbSrcLengthUsed;
    h.cbSrcLength -= h.cbSrcLengthUsed;
    ASSERT_EQ(acmStreamConvert(s, &h, ACM_STREAMCONVERTF_END), MMSYSERR_NOERROR);
    EXPECT_EQ(h.cbSrcLengthUsed, 2u * (3000 - 2034));
    EXPECT_EQ(h.cbDstLengthUsed, 512u);
    acmStreamUnprepareHeader(s, &h, 0);
    acmStreamClose(s, 0);
}

TEST(AcmStandIn, OffersWritableFormatsWithTheirExtraBytes) {
    // Offered: among the records the chooser lists.
    const auto offered = [](uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
        const auto record = AcmMakeWaveFormat(tag, channels, rate, bits);
        const auto records = AcmOfferedRecords(tag);
        return !record.empty() &&
               std::find(records.begin(), records.end(), record) != records.end();
    };
    EXPECT_TRUE(offered(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4));
    EXPECT_TRUE(offered(WAVE_FORMAT_PCM, 2, 44100, 24));
    EXPECT_FALSE(offered(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 16));
    EXPECT_FALSE(offered(WAVE_FORMAT_MPEGLAYER3, 2, 44100, 0));
    EXPECT_FALSE(offered(WAVE_FORMAT_GSM610, 1, 22050, 0));
    ASSERT_TRUE(AcmOfferedFor(WAVE_FORMAT_GSM610));
    EXPECT_EQ(AcmOfferedFor(WAVE_FORMAT_GSM610)->rates, std::vector<uint32_t>{8000});

    const auto ima = AcmMakeWaveFormat(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4);
    ASSERT_EQ(ima.size(), 20u);
    EXPECT_EQ(Record(ima)->nBlockAlign, 512);
    EXPECT_EQ(Record(ima)->nAvgBytesPerSec, 11100u);
    EXPECT_EQ(ima[18] | ima[19] << 8, 1017);
    const auto ms = AcmMakeWaveFormat(WAVE_FORMAT_ADPCM, 2, 44100, 4);
    ASSERT_EQ(ms.size(), 18u + 32);
    EXPECT_EQ(Record(ms)->nBlockAlign, 2048);
    EXPECT_EQ(ms[18] | ms[19] << 8, 2036); // samples per block
    EXPECT_EQ(ms[20], 7);                  // seven coefficient pairs
    EXPECT_EQ(ms[22] | ms[23] << 8, 256);  // the first pair is (256, 0)
    const auto gsm = AcmMakeWaveFormat(WAVE_FORMAT_GSM610, 1, 8000, 0);
    ASSERT_EQ(gsm.size(), 20u);
    EXPECT_EQ(Record(gsm)->nBlockAlign, 65);
    EXPECT_EQ(Record(gsm)->nAvgBytesPerSec, 1625u);
    EXPECT_EQ(gsm[18] | gsm[19] << 8, 320);
    EXPECT_TRUE(AcmMakeWaveFormat(WAVE_FORMAT_GSM610, 2, 8000, 0).empty());
    EXPECT_TRUE(AcmMakeWaveFormat(WAVE_FORMAT_PCM, 0, 8000, 16).empty());

    // Every offered record opens from 16-bit PCM of its own shape.
    for (uint16_t tag : AcmWritableTags())
        for (const auto& record : AcmOfferedRecords(tag)) {
            const auto* f = Record(record);
            EXPECT_EQ(TryOpen(Bytes(MakePcmFormat(f->nChannels, f->nSamplesPerSec, 16)), record),
                      MMSYSERR_NOERROR)
                << tag << " " << f->nChannels << " " << f->nSamplesPerSec;
        }
}

TEST(AcmStandIn, NamesAndDescribesFormats) {
    ACMFORMATTAGDETAILSA tag{};
    tag.cbStruct = sizeof tag;
    tag.dwFormatTag = WAVE_FORMAT_IMA_ADPCM;
    ASSERT_EQ(acmFormatTagDetailsA(nullptr, &tag, ACM_FORMATTAGDETAILSF_FORMATTAG),
              MMSYSERR_NOERROR);
    EXPECT_STREQ(tag.szFormatTag, "IMA ADPCM");
    EXPECT_EQ(tag.cStandardFormats, 8u);
    tag.dwFormatTag = 0x7777;
    EXPECT_NE(acmFormatTagDetailsA(nullptr, &tag, ACM_FORMATTAGDETAILSF_FORMATTAG),
              MMSYSERR_NOERROR);
    tag.dwFormatTagIndex = 0;
    ASSERT_EQ(acmFormatTagDetailsA(nullptr, &tag, ACM_FORMATTAGDETAILSF_INDEX), MMSYSERR_NOERROR);
    EXPECT_STREQ(tag.szFormatTag, "PCM");
    EXPECT_FALSE(AcmFormatTagName(0x20).empty()); // readable through FFmpeg's tag table

    // The caller may pass the 18-byte head alone, even of a format with extra bytes.
    auto ima = AcmMakeWaveFormat(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 4);
    ACMFORMATDETAILSA details{};
    details.cbStruct = sizeof details;
    details.pwfx = reinterpret_cast<WAVEFORMATEX*>(ima.data());
    details.cbwfx = 18;
    ASSERT_EQ(acmFormatDetailsA(nullptr, &details, ACM_FORMATDETAILSF_FORMAT), MMSYSERR_NOERROR);
    EXPECT_STREQ(details.szFormat, "22,050 Hz, 4 Bit, Mono");
    auto pcm = Bytes(MakePcmFormat(2, 44100, 16));
    details.pwfx = reinterpret_cast<WAVEFORMATEX*>(pcm.data());
    ASSERT_EQ(acmFormatDetailsA(nullptr, &details, ACM_FORMATDETAILSF_FORMAT), MMSYSERR_NOERROR);
    EXPECT_STREQ(details.szFormat, "44,100 Hz, 16 Bit, Stereo");
    std::vector<uint8_t> room(64);
    details.pwfx = reinterpret_cast<WAVEFORMATEX*>(room.data());
    details.cbwfx = 64;
    details.dwFormatTag = WAVE_FORMAT_GSM610;
    details.dwFormatIndex = 0;
    ASSERT_EQ(acmFormatDetailsA(nullptr, &details, ACM_FORMATDETAILSF_INDEX), MMSYSERR_NOERROR);
    EXPECT_STREQ(details.szFormat, "8,000 Hz, Mono");
    EXPECT_EQ(details.pwfx->cbSize, 2);
}

TEST(AcmStandIn, ResamplesASineCleanly) {
    const auto input = Sine16(44100, 1, 44100 * 2, 1000.0, 0.9);
    const auto from = Bytes(MakePcmFormat(1, 44100, 16));
    for (uint32_t rate : {48000u, 22050u}) {
        const auto out =
            Samples16(ConvertStream(from, Bytes(MakePcmFormat(1, rate, 16)), input, {16384}));
        const double expected = 2.0 * rate;
        EXPECT_NEAR(static_cast<double>(out.size()), expected, 2) << rate;
        const double snr = SineSnr(out, rate);
        EXPECT_GE(snr, 88.0) << rate;
        RecordProperty("snr_" + std::to_string(rate), std::to_string(snr));
        std::printf("SNR at %u Hz: %.1f dB\n", rate, snr);
    }
}

TEST(AcmStandIn, MonoToStereoKeepsTheLevel) {
    const auto input = Sine16(8000, 1, 800);
    const auto out = Samples16(
        ConvertStream(Bytes(MakePcmFormat(1, 8000, 16)), Bytes(MakePcmFormat(2, 8000, 16)), input));
    const auto in = Samples16(input);
    ASSERT_EQ(out.size(), in.size() * 2);
    for (size_t i = 0; i < in.size(); ++i) {
        EXPECT_EQ(out[2 * i], in[i]);
        EXPECT_EQ(out[2 * i + 1], in[i]);
    }
}

TEST(AcmStandIn, InputAfterTheEndStartsANewStream) {
    // Found by fuzzing: feeding the resampler after its drain crashed inside it.
    const auto from = Bytes(MakePcmFormat(1, 8000, 24));
    const auto to = Bytes(MakePcmFormat(1, 44100, 32));
    HACMSTREAM s = nullptr;
    ASSERT_EQ(acmStreamOpen(&s, nullptr, Record(from), Record(to), nullptr, 0, 0, 0),
              MMSYSERR_NOERROR);
    std::vector<uint8_t> in(300, 7), out(4000);
    for (auto [bytes, flags] : {std::pair{9u, 0u},
                                {3u, ACM_STREAMCONVERTF_END},
                                {15u, 0u},
                                {15u, ACM_STREAMCONVERTF_END}}) {
        ACMSTREAMHEADER h{};
        h.cbStruct = sizeof h;
        h.pbSrc = in.data();
        h.cbSrcLength = bytes;
        h.pbDst = out.data();
        h.cbDstLength = static_cast<uint32_t>(out.size());
        acmStreamPrepareHeader(s, &h, 0);
        EXPECT_EQ(acmStreamConvert(s, &h, flags), MMSYSERR_NOERROR);
        EXPECT_EQ(h.cbSrcLengthUsed, bytes);
        if (flags) {
            EXPECT_GT(h.cbDstLengthUsed, 0u); // the stream so far, drained
        }
        acmStreamUnprepareHeader(s, &h, 0);
    }
    acmStreamClose(s, 0);
}
