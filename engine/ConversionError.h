#pragma once
// The result of opening a source, and the one line of the errors list that each failure becomes.
#include <cstdint>
#include <string>
#include <string_view>

struct CoverProblem;

enum class ConversionError : uint8_t {
    ceNone = 0,
    ceCodec = 1,
    ceRead = 2,
    ceOutput = 3,
    ceMemory = 4
};

// The line for a failed open; empty for ceNone.
std::string ConversionErrorLine(ConversionError code, std::string_view inputPath);
// No source class exists for the input's extension.
std::string UnsupportedTypeLine(std::string_view inputPath);
// WriteError was raised, or the finished output could not replace the old one. A known errno of
// the refused operation ends the line with the system's cause: "…': no space left on device.".
std::string WriteErrorLine(std::string_view outputPath, int error = 0);
// The WMA reader reported protected content.
std::string ProtectedInputLine(std::string_view inputPath);
// Ends the line of a failure that stopped the whole job.
inline constexpr std::string_view RemainingNotConverted =
    " The remaining files were not converted.";
// A row whose output an earlier row of the same job has written already.
std::string AlreadyWrittenLine(std::string_view outputPath, std::string_view firstInput,
                               std::string_view inputPath);
// A file appeared at the output path after the outputs were checked; nobody agreed to replace it.
std::string UnexpectedOutputLine(std::string_view outputPath, std::string_view inputPath);
// The output decoded again did not hold what was meant (OutputVerifier says why); it was not
// put in place.
std::string VerificationFailedLine(std::string_view outputPath, std::string_view cause);
// A cover left out of the output of inputPath (tags/CoverProblem.h); the output was written
// without it.
std::string CoverProblemLine(const CoverProblem& problem, std::string_view inputPath);
// Not a failure but a notice: the loudness of inputPath could not be measured for its ReplayGain
// (engine/LoudnessValues.h), so its output was written without a track gain.
std::string NoLoudnessNotice(std::string_view inputPath);
