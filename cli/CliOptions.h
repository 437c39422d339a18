#pragma once
// The command line of brindlex-convert.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "catalog/ConversionSettings.h"
#include "cli/ShardChoice.h"

struct FormatInfo;

struct CliOptions {
    std::optional<uint8_t> target; // a number of the table of target formats; else the stored one
    std::optional<std::string> outputDir;
    bool recursive = false;
    bool flat = false; // with --recursive: every output straight into outputDir
    // How outputs in outputDir are named (NamePattern.h); checked as it is given.
    std::optional<std::string> namePattern;
    // The library folder (DestinationSettings::BaseFolder), made absolute.
    std::optional<std::string> baseFolder;
    bool safeNames = false;
    // The input formats collected from folders; empty: every one.
    std::vector<const FormatInfo*> from;
    // The character set of cue sheets that are not UTF-8; else it is recognised.
    std::optional<std::string> cueCharset;
    // The formats' encoder options given (FormatOptions.h), by flag: each one's value, or what
    // naming a switch sets; checked once the target is known.
    std::map<std::string, int32_t> numbers;
    // The formats' options given as text (FormatInfo::TextOption), by flag; checked once the
    // target is known.
    std::map<std::string, std::string> texts;
    bool overwrite = false;
    bool skipExisting = false;
    bool quiet = false;
    std::optional<std::size_t> jobs; // files converted at once; else one per processor core
    bool noTags = false;
    std::optional<uint32_t> coverSize; // 0: front covers as they are; else the stored choice
    // The folder's picture files an input without a front cover takes; else the stored choice.
    std::optional<std::vector<std::string>> coverFiles;
    std::optional<ReplayGainMode> replayGain; // else the stored choice
    // Decode each output again before it takes its name; without the option, as stored.
    bool verify = false;
    bool noVerify = false; // not even when the window's stored choice says so
    // Split FLAC files by their own cue sheets; without either option, as stored.
    bool split = false;
    bool noSplit = false;
    bool list = false;         // print the planned rows instead of converting
    bool nulSeparated = false; // with list: each path ended by a zero byte, not a tab or newline
    std::optional<ShardChoice> shard;
    // Keep outputDir in step with the inputs' folders (MirrorPlan.h); implies recursive.
    bool mirror = false;
    bool copySame = false;  // with mirror: a source in the target format is copied as it is
    bool copyLossy = false; // with mirror: a lossy source is copied as it is to a lossy target
    // With mirror: the patterns of non-audio files copied beside the outputs.
    std::vector<std::string> extras;
    // With mirror: the file the run's report is written into, as JSON.
    std::optional<std::string> report;
    std::optional<std::string> preset; // the choices start from it, below the options given
    bool listPresets = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> inputs;
};

// The number of processor cores this process may run on: how many files a job converts at once
// unless told.
std::size_t DefaultJobs();

// False with a one-line reason when the command line is not valid.
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options, std::string& error);

// Options that belong to another target than the one chosen, or whose values that target does not
// take, are refused.
bool CheckOptionsForTarget(const CliOptions& options, uint8_t target, std::string& error);

// Puts the options given as text over the choices already in settings; false with a one-line
// reason when a text says no choice.
bool ApplyTextOptions(const CliOptions& options, ConversionSettings& settings, std::string& error);
// Puts the encoder options given on the command line over the choices already in settings.
void ApplyEncoderOptions(const CliOptions& options, ConversionSettings& settings);
// Puts the cover options given over the choices already in settings.
void ApplyCoverOptions(const CliOptions& options, ConversionSettings& settings);

// The largest --cover-size: the largest side a JPEG picture may have.
inline constexpr uint32_t MostCoverSize = 65535;
