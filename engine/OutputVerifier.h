#pragma once
// Checks a row's output before it takes its name, by decoding it again through the program's own
// source for its format: a lossless output written from the input's own samples must give them
// back exactly (compared by digest with what was decoded on the way in), any other must decode
// without error to the input's length in sample frames at the output's rate.
#include <memory>
#include <optional>
#include <string>

#include "engine/AudioObserver.h"
#include "engine/JobEnvironment.h"
#include "engine/PcmDigestObserver.h"

class OutputVerifier {
public:
    OutputVerifier() = default;
    // For a row converting to target: only a lossless target has the input's samples digested,
    // any other is checked by length alone.
    explicit OutputVerifier(uint8_t target);

    // The observer that takes the input's digest as the row converts it; it must have seen the
    // whole input before Check.
    std::unique_ptr<AudioObserver> WatchInput();

    // Empty when the file at path holds what the row meant to write to destination (whose
    // extension tells its format); otherwise why not, to end "Verification failed for '…': ".
    // reshaped: the encoder was given the input's samples in another format.
    std::string Check(const std::string& path, const std::string& destination,
                      const ConversionSettings& settings, bool reshaped,
                      const JobEnvironment& environment) const;

    // What Check compares with, put among a row's values and taken back from them, for an output
    // that is checked by another process than the one that converted it (one held back until its
    // album was measured).
    void PutInto(RowValues& values, bool reshaped) const;
    static OutputVerifier From(const RowValues& values);
    static bool ReshapedIn(const RowValues& values);

private:
    std::string CheckLength(const PcmDigestObserver::Result& output, uint8_t target) const;

    std::optional<PcmDigestObserver::Result> input_;
    bool digestInput_ = true;
};
