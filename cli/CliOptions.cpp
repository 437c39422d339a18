#include "cli/CliOptions.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <string_view>

#include "catalog/FormatTable.h"
#include "cli/FormatWords.h"
#include "cli/NumberOptions.h"
#include "engine/NamePattern.h"
#include "mirror/MirrorSources.h"
#include "system/ProcessorCores.h"

namespace {
bool ParseInt(const std::string& text, int32_t& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

// The format whose option given as text has that flag; nullptr for none.
const FormatInfo* FormatOfTextOption(std::string_view flag) {
    for (const FormatInfo& format : Formats()) {
        if (format.TextOption && format.TextOption->Flag == flag) {
            return &format;
        }
    }
    return nullptr;
}

// Each file at once is a process of its own; far more than any machine has cores gains nothing.
constexpr int32_t MostJobs = 256;

// What an option's value sets: false with a one-line reason when the option does not take it.
// name is the option's long name.
using ValueSetter = bool (*)(std::string_view name, const std::string& value, CliOptions& options,
                             std::string& error);

// One option of the command line: its names, and the flag it sets or what its value sets.
struct Option {
    char shortName; // 0: none
    std::string_view longName;
    // Set by naming the option; null for an option that takes a value and for a switch of the
    // formats' encoder options.
    bool CliOptions::*flag;
    ValueSetter setValue; // null for an option named without a value

    constexpr bool TakesValue() const { return setValue != nullptr; }
    // Named without a value: its flag, or the switch's value for its flag.
    void Set(CliOptions& options) const {
        if (flag) {
            options.*flag = true;
        } else {
            options.numbers[std::string(longName)] = SwitchValue(longName).value_or(0);
        }
    }
};

constexpr Option Flag(char shortName, std::string_view longName, bool CliOptions::*flag) {
    return {shortName, longName, flag, nullptr};
}

constexpr Option Valued(char shortName, std::string_view longName, ValueSetter setValue) {
    return {shortName, longName, nullptr, setValue};
}

// A switch of the formats' encoder options: its value is what naming it sets.
constexpr Option Switch(std::string_view longName) {
    return {0, longName, nullptr, nullptr};
}

bool SetTarget(std::string_view, const std::string& value, CliOptions& options,
               std::string& error) {
    const FormatInfo* format = FindTargetFormat(value);
    if (!format) {
        error = "--to takes " + TargetKeys(", ") + ", not '" + value + "'";
        return false;
    }
    options.target = format->Number;
    return true;
}

// "flac,wav": each an input format's extension without its dot, in any case.
bool SetFrom(std::string_view, const std::string& value, CliOptions& options, std::string& error) {
    for (std::size_t start = 0; start <= value.size();) {
        const std::size_t end = std::min(value.find(',', start), value.size());
        const std::string word = value.substr(start, end - start);
        const FormatInfo* format = FindInputFormat("." + word);
        if (!format) {
            error = "--from takes " + InputTypeWords(", ") + ", not '" + word + "'";
            return false;
        }
        if (std::ranges::find(options.from, format) == options.from.end()) {
            options.from.push_back(format);
        }
        start = end + 1;
    }
    return true;
}

bool SetOutputDir(std::string_view, const std::string& value, CliOptions& options,
                  std::string& error) {
    if (value.empty()) {
        error = "--output-dir needs a folder";
        return false;
    }
    options.outputDir = value;
    return true;
}

bool SetNamePattern(std::string_view, const std::string& value, CliOptions& options,
                    std::string& error) {
    const auto parsed = NamePattern::Parse(value);
    if (const auto* refusal = std::get_if<NamePatternError>(&parsed)) {
        error = refusal->Message();
        return false;
    }
    options.namePattern = value;
    return true;
}

bool SetBaseFolder(std::string_view, const std::string& value, CliOptions& options,
                   std::string& error) {
    if (value.empty()) {
        error = "--base needs a folder";
        return false;
    }
    std::error_code unknown; // no working folder: the folder as given
    const std::filesystem::path absolute = std::filesystem::absolute(value, unknown);
    options.baseFolder = (unknown ? std::filesystem::path(value) : absolute).lexically_normal();
    return true;
}

bool SetCueCharset(std::string_view, const std::string& value, CliOptions& options,
                   std::string& error) {
    if (value.empty()) {
        error = "--cue-charset needs a character set";
        return false;
    }
    options.cueCharset = value;
    return true;
}

bool SetJobs(std::string_view, const std::string& value, CliOptions& options, std::string& error) {
    int32_t number = 0;
    if (!ParseInt(value, number) || number < 1 || number > MostJobs) {
        error = "--jobs takes a number from 1 to " + std::to_string(MostJobs);
        return false;
    }
    options.jobs = static_cast<std::size_t>(number);
    return true;
}

bool SetShard(std::string_view, const std::string& value, CliOptions& options, std::string& error) {
    options.shard = ShardChoice::Parse(value);
    if (!options.shard) {
        error =
            "--shard takes K/N, whole numbers with 1 <= K <= N (such as 2/8), not '" + value + "'";
        return false;
    }
    return true;
}

bool SetCoverSize(std::string_view, const std::string& value, CliOptions& options,
                  std::string& error) {
    int32_t number = 0;
    if (!ParseInt(value, number) || number < 0 || uint32_t(number) > MostCoverSize) {
        error = "--cover-size takes a number of pixels from 0 to " + std::to_string(MostCoverSize);
        return false;
    }
    options.coverSize = static_cast<uint32_t>(number);
    return true;
}

// "cover.jpg,Folder.png": names of files, not paths; an empty value names none.
bool SetCoverFiles(std::string_view, const std::string& value, CliOptions& options,
                   std::string& error) {
    std::vector<std::string> names;
    for (std::size_t start = 0; !value.empty() && start <= value.size();) {
        const std::size_t end = std::min(value.find(',', start), value.size());
        const std::string name = value.substr(start, end - start);
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
            error = "--cover-file takes file names separated by commas, not '" + name + "'";
            return false;
        }
        names.push_back(name);
        start = end + 1;
    }
    options.coverFiles = std::move(names);
    return true;
}

bool SetReplayGain(std::string_view, const std::string& value, CliOptions& options,
                   std::string& error) {
    const std::optional<ReplayGainMode> mode = ReplayGainModeOf(value);
    if (!mode) {
        error = "--replaygain takes none, track or album, not '" + value + "'";
        return false;
    }
    options.replayGain = *mode;
    return true;
}

bool SetExtras(std::string_view, const std::string& value, CliOptions& options,
               std::string& error) {
    std::string bad;
    if (!MirrorSources::ExtraPatterns(value, options.extras, bad)) {
        error = "--extras takes patterns of file names separated by commas, not '" + bad + "'";
        return false;
    }
    return true;
}

bool SetReport(std::string_view, const std::string& value, CliOptions& options,
               std::string& error) {
    if (value.empty()) {
        error = "--report needs a file";
        return false;
    }
    options.report = value;
    return true;
}

bool SetPreset(std::string_view, const std::string& value, CliOptions& options, std::string&) {
    options.preset = value;
    return true;
}

// An encoder option of the formats (FormatOptions.h), by its flag.
bool SetNumberOption(std::string_view name, const std::string& value, CliOptions& options,
                     std::string& error) {
    int32_t number = 0;
    if (!ParseInt(value, number) || !SomeTargetTakes(name, number)) {
        error = std::string(name) + " takes " + NumberOptionValues(name);
        return false;
    }
    options.numbers[std::string(name)] = number;
    return true;
}

// A format's option given as text, by its flag; checked once the target is known.
bool SetTextOption(std::string_view name, const std::string& value, CliOptions& options,
                   std::string&) {
    options.texts[std::string(name)] = value;
    return true;
}

// The options, one row each; the formats' own options are not rows: they come from the formats'
// table (FindOption).
constexpr Option Options[] = {
    Valued('t', "--to", SetTarget),
    Valued('o', "--output-dir", SetOutputDir),
    Flag('r', "--recursive", &CliOptions::recursive),
    Flag(0, "--flat", &CliOptions::flat),
    Valued(0, "--name", SetNamePattern),
    Valued(0, "--base", SetBaseFolder),
    Flag(0, "--safe-names", &CliOptions::safeNames),
    Valued(0, "--from", SetFrom),
    Valued(0, "--cue-charset", SetCueCharset),
    Flag('y', "--overwrite", &CliOptions::overwrite),
    Flag('n', "--skip-existing", &CliOptions::skipExisting),
    Flag('q', "--quiet", &CliOptions::quiet),
    Valued('j', "--jobs", SetJobs),
    Flag(0, "--no-tags", &CliOptions::noTags),
    Valued(0, "--cover-size", SetCoverSize),
    Valued(0, "--cover-file", SetCoverFiles),
    Valued(0, "--replaygain", SetReplayGain),
    Flag(0, "--verify", &CliOptions::verify),
    Flag(0, "--no-verify", &CliOptions::noVerify),
    Flag(0, "--split", &CliOptions::split),
    Flag(0, "--no-split", &CliOptions::noSplit),
    Flag(0, "--list", &CliOptions::list),
    Flag('0', "--null", &CliOptions::nulSeparated),
    Valued(0, "--shard", SetShard),
    Flag(0, "--mirror", &CliOptions::mirror),
    Flag(0, "--copy-same", &CliOptions::copySame),
    Flag(0, "--copy-lossy", &CliOptions::copyLossy),
    Valued(0, "--extras", SetExtras),
    Valued(0, "--report", SetReport),
    Valued(0, "--preset", SetPreset),
    Flag(0, "--list-presets", &CliOptions::listPresets),
    Flag('V', "--version", &CliOptions::version),
    Flag('h', "--help", &CliOptions::help),
};

// A row whose name an earlier row has already could never be reached.
constexpr bool NamesDiffer() {
    for (std::size_t i = 0; i < std::size(Options); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (Options[i].longName == Options[j].longName ||
                (Options[i].shortName != 0 && Options[i].shortName == Options[j].shortName)) {
                return false;
            }
        }
    }
    return true;
}
static_assert(NamesDiffer(), "two options of the table share a name");

// The option of that long name: a row of the table, else an option of the formats' table (whose
// name is then longName itself).
std::optional<Option> FindOption(std::string_view longName) {
    for (const Option& option : Options) {
        if (option.longName == longName) {
            return option;
        }
    }
    if (IsNumberOptionFlag(longName)) {
        return SwitchValue(longName) ? Switch(longName) : Valued(0, longName, SetNumberOption);
    }
    if (FormatOfTextOption(longName)) {
        return Valued(0, longName, SetTextOption);
    }
    return std::nullopt;
}

const Option* FindOption(char shortName) {
    for (const Option& option : Options) {
        if (option.shortName != 0 && option.shortName == shortName) {
            return &option;
        }
    }
    return nullptr;
}

class ArgReader {
public:
    explicit ArgReader(const std::vector<std::string>& args) : args_(args) {}
    bool More() const { return next_ < args_.size(); }
    const std::string& Take() { return args_[next_++]; }

private:
    const std::vector<std::string>& args_;
    std::size_t next_ = 0;
};

// One option with its value: inline ("--jobs=4", "-j4") or the next argument.
bool TakeOption(const Option& option, std::optional<std::string> inlineValue, ArgReader& reader,
                CliOptions& options, std::string& error) {
    if (!option.TakesValue()) {
        option.Set(options);
        return true;
    }
    if (!inlineValue && !reader.More()) {
        error = "option " + std::string(option.longName) + " needs a value";
        return false;
    }
    const std::string value = inlineValue ? *inlineValue : reader.Take();
    return option.setValue(option.longName, value, options, error);
}

// "-ry", "-to", "-o out": flags may be bundled; a value option takes the rest or the next argument.
bool TakeShortOptions(const std::string& arg, ArgReader& reader, CliOptions& options,
                      std::string& error) {
    for (std::size_t i = 1; i < arg.size(); ++i) {
        const Option* option = FindOption(arg[i]);
        if (!option) {
            error = "unknown option '-" + std::string(1, arg[i]) + "'";
            return false;
        }
        if (option->TakesValue()) {
            std::optional<std::string> rest;
            if (i + 1 < arg.size()) {
                rest = arg.substr(i + 1);
            }
            return TakeOption(*option, rest, reader, options, error);
        }
        option->Set(options);
    }
    return true;
}

} // namespace

std::size_t DefaultJobs() {
    return ProcessorCores();
}

bool CheckOptionsForTarget(const CliOptions& options, uint8_t target, std::string& error) {
    for (const auto& [flag, value] : options.numbers) {
        if (!CheckNumberOption(flag, value, target, error)) {
            return false;
        }
    }
    for (const auto& [flag, text] : options.texts) {
        const FormatInfo* format = FormatOfTextOption(flag);
        if (format->Number != target) {
            error = OnlyForMessage(flag, {format});
            return false;
        }
    }
    return CheckReplacingOptions(options.numbers, target, error);
}

bool ApplyTextOptions(const CliOptions& options, ConversionSettings& settings, std::string& error) {
    for (const auto& [flag, text] : options.texts) {
        if (!FormatOfTextOption(flag)->TextOption->Apply(text, settings, error)) {
            return false;
        }
    }
    return true;
}

void ApplyEncoderOptions(const CliOptions& options, ConversionSettings& settings) {
    for (const auto& [flag, value] : options.numbers) {
        ApplyNumberOption(flag, value, settings);
    }
    TurnOffReplacingOptions(options.numbers, settings);
}

void ApplyCoverOptions(const CliOptions& options, ConversionSettings& settings) {
    if (options.coverSize) {
        settings.CoverSize = *options.coverSize;
    }
    if (options.coverFiles) {
        settings.CoverFiles = *options.coverFiles;
    }
}

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options,
                     std::string& error) {
    ArgReader reader(args);
    bool optionsEnded = false;
    while (reader.More()) {
        const std::string arg = reader.Take();
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!arg.starts_with("--")) {
            if (!TakeShortOptions(arg, reader, options, error)) {
                return false;
            }
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const std::optional<Option> option = FindOption(name);
        if (!option || (eq != std::string::npos && !option->TakesValue())) {
            error = "unknown option '" + arg + "'";
            return false;
        }
        const std::optional<std::string> inlineValue =
            eq == std::string::npos ? std::nullopt : std::optional(arg.substr(eq + 1));
        if (!TakeOption(*option, inlineValue, reader, options, error)) {
            return false;
        }
    }
    if (options.help || options.version || options.listPresets) {
        return true;
    }
    if (options.nulSeparated && !options.list) {
        error = "-0 applies only to --list";
        return false;
    }
    if (options.namePattern && !options.outputDir) {
        error = "--name needs an output folder (-o)";
        return false;
    }
    if (options.mirror && !options.outputDir) {
        error = "--mirror needs an output folder (-o)";
        return false;
    }
    if (!options.mirror &&
        (options.copySame || options.copyLossy || !options.extras.empty() || options.report)) {
        error = "--copy-same, --copy-lossy, --extras and --report apply only to --mirror";
        return false;
    }
    options.recursive = options.recursive || options.mirror;
    if (options.overwrite && options.skipExisting) {
        error = "--overwrite and --skip-existing exclude each other";
        return false;
    }
    if (options.inputs.empty()) {
        error = "no files or folders to convert";
        return false;
    }
    return true;
}
