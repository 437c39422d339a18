#include "engine/ConversionError.h"

#include <cctype>
#include <cstring>

#include "system/FileNames.h"
#include "tags/AudioTags.h"
#include "tags/CoverProblem.h"

namespace {
std::string Quoted(std::string_view before, std::string_view path, std::string_view after = "'.") {
    std::string line(before);
    line += path;
    line += after;
    return line;
}

// The system's text for error as the line ends with it: English whatever the locale, since the
// rest of the line is, and lower-case after the colon. Empty for an unknown error.
std::string Cause(int error) {
    const char* text = error != 0 ? strerrordesc_np(error) : nullptr;
    if (text == nullptr || *text == '\0') {
        return {};
    }
    std::string cause = text;
    cause[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(cause[0])));
    return ": " + cause;
}
} // namespace

std::string ConversionErrorLine(ConversionError code, std::string_view inputPath) {
    switch (code) {
    case ConversionError::ceNone:
        return {};
    case ConversionError::ceCodec:
        return Quoted("Unable to load CODEC to convert '", inputPath);
    case ConversionError::ceRead:
        return Quoted("Unable to read from '", inputPath);
    case ConversionError::ceOutput:
        return Quoted("Device output error for '", inputPath);
    case ConversionError::ceMemory:
        return Quoted("Insufficient memory to convert '", inputPath);
    }
    return {};
}

std::string UnsupportedTypeLine(std::string_view inputPath) {
    std::string line = "'";
    line += GetFileExtension(inputPath);
    line += "' file type is not supported. Error whilst converting '";
    return Quoted(line, inputPath);
}

std::string WriteErrorLine(std::string_view outputPath, int error) {
    return Quoted("Unable to write to '", outputPath, "'" + Cause(error) + ".");
}

std::string ProtectedInputLine(std::string_view inputPath) {
    return Quoted("Protected WMA file cannot convert '", inputPath);
}

std::string AlreadyWrittenLine(std::string_view outputPath, std::string_view firstInput,
                               std::string_view inputPath) {
    std::string line = Quoted("'", outputPath, "' was already written from '");
    line += firstInput;
    return Quoted(line + "' in this job; '", inputPath, "' was not converted.");
}

std::string UnexpectedOutputLine(std::string_view outputPath, std::string_view inputPath) {
    return Quoted("'", outputPath,
                  "' appeared after the outputs were checked and was not replaced; '") +
           Quoted("", inputPath, "' was not converted.");
}

std::string VerificationFailedLine(std::string_view outputPath, std::string_view cause) {
    return Quoted("Verification failed for '", outputPath, "': " + std::string(cause) + ".");
}

std::string CoverProblemLine(const CoverProblem& problem, std::string_view inputPath) {
    std::string line = problem.file.empty() ? Quoted("The front cover of '", inputPath, "'")
                                            : Quoted("The cover picture '", problem.file, "'");
    line += " was left out: ";
    switch (problem.cause) {
    case CoverProblem::Cause::Damaged:
        return line + "it is damaged or not a JPEG or PNG picture.";
    case CoverProblem::Cause::TooManyPixels:
        return line + "at " + std::to_string(problem.width) + " x " +
               std::to_string(problem.height) + " pixels it is too large to read.";
    case CoverProblem::Cause::TooManyBytes:
        break;
    }
    return line + "it is larger than " + std::to_string(MaxPictureBytes >> 20) + " MB.";
}

std::string NoLoudnessNotice(std::string_view inputPath) {
    return Quoted("No ReplayGain for '", inputPath, "': it is silent or shorter than 0.4 seconds.");
}
