#include "cli/CliOptions.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "cli/NumberOptions.h"
#include "cli/TargetDescription.h"
#include "catalog/FormatTable.h"
#include "system/ProcessorCores.h"

namespace {
bool ParseInt(const std::string& text, int32_t& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

// "320, 256, ..., 56" from one of the encoder lists.
template <class List, class Field> std::string ListText(const List& list, Field field) {
    std::string text;
    for (const auto& item : list) {
        text += (text.empty() ? "" : ", ") + std::to_string(item.*field);
    }
    return text;
}

std::string TargetKeys(const char* separator) {
    std::string text;
    for (const FormatInfo& format : Formats()) {
        if (format.IsTarget()) {
            text += (text.empty() ? "" : separator) + std::string(format.Key);
        }
    }
    return text;
}

std::string WmaQualityText(std::size_t item) {
    const WmaQualityChoice& q = WmaQualities[item];
    return std::to_string(item) + " = " + std::to_string(q.SampleRate) + " Hz " +
           std::to_string(q.Kbps) + " kbit/s";
}

// " for MP3, 32 to 256 for Opus": what else a flag of the MP3 encoder takes for other targets.
std::string Others(std::string_view flag) {
    const std::string values = NumberOptionValues(flag);
    return values.empty() ? "" : " for MP3, " + values;
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
    bool CliOptions::*flag; // set by naming the option; null for an option that takes a value
    ValueSetter setValue;   // null for a flag

    constexpr bool TakesValue() const { return setValue != nullptr; }
};

constexpr Option Flag(char shortName, std::string_view longName, bool CliOptions::*flag) {
    return {shortName, longName, flag, nullptr};
}

constexpr Option Valued(char shortName, std::string_view longName, ValueSetter setValue) {
    return {shortName, longName, nullptr, setValue};
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

bool SetOutputDir(std::string_view, const std::string& value, CliOptions& options,
                  std::string& error) {
    if (value.empty()) {
        error = "--output-dir needs a folder";
        return false;
    }
    options.outputDir = value;
    return true;
}

bool SetWaveFormat(std::string_view, const std::string& value, CliOptions& options, std::string&) {
    options.waveFormat = value;
    return true;
}

bool SetBitRate(std::string_view name, const std::string& value, CliOptions& options,
                std::string& error) {
    int32_t number = 0;
    if (!ParseInt(value, number) || !(Mp3BitRateItem(number) || SomeTargetTakes(name, number))) {
        error = "--bitrate takes one of " + ListText(Mp3BitRates, &Mp3BitRateChoice::Kbps) +
                " (kbit/s)" + Others(name);
        return false;
    }
    options.bitRate = number;
    return true;
}

bool SetSampleRate(std::string_view name, const std::string& value, CliOptions& options,
                   std::string& error) {
    int32_t number = 0;
    if (!ParseInt(value, number) || !(Mp3SampleRateItem(number) || SomeTargetTakes(name, number))) {
        error = "--rate takes one of " + ListText(Mp3SampleRates, &Mp3SampleRateChoice::Hz) +
                " (Hz)" + Others(name);
        return false;
    }
    options.sampleRate = number;
    return true;
}

bool SetWmaQuality(std::string_view, const std::string& value, CliOptions& options,
                   std::string& error) {
    int32_t number = 0;
    if (!ParseInt(value, number) || number < 0 ||
        static_cast<std::size_t>(number) >= WmaQualities.size()) {
        error = "--wma-quality takes a number from 0 to " + std::to_string(WmaQualities.size() - 1);
        return false;
    }
    options.wmaQuality = static_cast<std::size_t>(number);
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

// A number option of the format table (FormatOptions.h), by its flag.
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

// The options, one row each; the encoder's number options other than --bitrate and --rate are
// not rows: they come from their table (FindOption).
constexpr Option Options[] = {
    Valued('t', "--to", SetTarget),
    Valued('o', "--output-dir", SetOutputDir),
    Flag('r', "--recursive", &CliOptions::recursive),
    Flag(0, "--flat", &CliOptions::flat),
    Valued(0, "--wave-format", SetWaveFormat),
    Valued(0, "--bitrate", SetBitRate),
    Valued(0, "--rate", SetSampleRate),
    Flag(0, "--mono", &CliOptions::mono),
    Valued(0, "--wma-quality", SetWmaQuality),
    Flag('y', "--overwrite", &CliOptions::overwrite),
    Flag('n', "--skip-existing", &CliOptions::skipExisting),
    Flag('q', "--quiet", &CliOptions::quiet),
    Valued('j', "--jobs", SetJobs),
    Flag(0, "--no-tags", &CliOptions::noTags),
    Flag(0, "--list", &CliOptions::list),
    Flag('0', "--null", &CliOptions::nulSeparated),
    Valued(0, "--shard", SetShard),
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

// The option of that long name: a row of the table, else a number option of the format table
// (whose name is then longName itself).
std::optional<Option> FindOption(std::string_view longName) {
    for (const Option& option : Options) {
        if (option.longName == longName) {
            return option;
        }
    }
    if (IsNumberOptionFlag(longName)) {
        return Valued(0, longName, SetNumberOption);
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

// One option with its value: inline ("--to=mp3", "-tmp3") or the next argument.
bool TakeOption(const Option& option, std::optional<std::string> inlineValue, ArgReader& reader,
                CliOptions& options, std::string& error) {
    if (!option.TakesValue()) {
        options.*option.flag = true;
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
        options.*option->flag = true;
    }
    return true;
}

// --bitrate and --rate take other values for other targets: here those of MP3's lists.
bool CheckMp3Values(const CliOptions& options, std::string& error) {
    if (options.bitRate && !Mp3BitRateItem(*options.bitRate)) {
        error = "--bitrate takes one of " + ListText(Mp3BitRates, &Mp3BitRateChoice::Kbps) +
                " (kbit/s) for MP3 output";
        return false;
    }
    if (options.sampleRate && !Mp3SampleRateItem(*options.sampleRate)) {
        error = "--rate takes one of " + ListText(Mp3SampleRates, &Mp3SampleRateChoice::Hz) +
                " (Hz) for MP3 output";
        return false;
    }
    return true;
}

// --bitrate and --rate given for a target other than MP3: number options of that target.
bool CheckOtherTarget(const CliOptions& options, uint8_t target, std::string& error) {
    return (!options.bitRate ||
            CheckNumberOption("--bitrate", *options.bitRate, target, error, "MP3")) &&
           (!options.sampleRate ||
            CheckNumberOption("--rate", *options.sampleRate, target, error, "MP3"));
}
} // namespace

std::size_t DefaultJobs() {
    return ProcessorCores();
}

bool CheckOptionsForTarget(const CliOptions& options, uint8_t target, std::string& error) {
    if (target == tfMp3 && !CheckMp3Values(options, error)) {
        return false;
    }
    const bool numberFlags = (options.bitRate && IsNumberOptionFlag("--bitrate")) ||
                             (options.sampleRate && IsNumberOptionFlag("--rate"));
    const bool mp3Options = options.bitRate || options.sampleRate || options.mono;
    if (target != tfMp3 && (options.mono || (mp3Options && !numberFlags))) {
        error = "--bitrate, --rate and --mono apply only to MP3 output (--to mp3)";
        return false;
    }
    if (target != tfMp3 && !CheckOtherTarget(options, target, error)) {
        return false;
    }
    for (const auto& [flag, value] : options.numbers) {
        if (!CheckNumberOption(flag, value, target, error)) {
            return false;
        }
    }
    if (options.wmaQuality && target != tfWMA) {
        error = "--wma-quality applies only to WMA output (--to wma)";
        return false;
    }
    if (options.waveFormat && target != tfWave) {
        error = "--wave-format applies only to WAVE output (--to wav)";
        return false;
    }
    return true;
}

void ApplyEncoderOptions(const CliOptions& options, ConversionSettings& settings) {
    if (settings.TargetFormat != tfMp3) {
        // The same flags set the number options of the other targets.
        if (options.sampleRate) {
            ApplyNumberOption("--rate", *options.sampleRate, settings);
        }
        if (options.bitRate) {
            ApplyNumberOption("--bitrate", *options.bitRate, settings);
        }
    } else {
        settings.Mp3SampleRate = options.sampleRate.value_or(settings.Mp3SampleRate);
        settings.Mp3BitRate = options.bitRate.value_or(settings.Mp3BitRate);
    }
    for (const auto& [flag, value] : options.numbers) {
        ApplyNumberOption(flag, value, settings);
    }
    if (options.mono) {
        settings.Mp3Stereo = false;
    }
    if (options.wmaQuality) {
        settings.WmaSampleRate = WmaQualities[*options.wmaQuality].SampleRate;
        settings.WmaBitRate = WmaQualities[*options.wmaQuality].Kbps;
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
    if (options.help || options.version) {
        return true;
    }
    if (options.nulSeparated && !options.list) {
        error = "-0 applies only to --list";
        return false;
    }
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

std::string CliUsage(const ConversionSettings& defaults, const std::string& waveDefault) {
    const std::string stereo = defaults.Mp3Stereo ? "stereo" : "mono";
    std::string wmaDefault = "?";
    for (std::size_t item = 0; item < WmaQualities.size(); ++item) {
        if (WmaQualities[item].SampleRate == defaults.WmaSampleRate &&
            WmaQualities[item].Kbps == defaults.WmaBitRate) {
            wmaDefault = std::to_string(item);
        }
    }
    return "Usage: brindlex-convert [options] FILE|FOLDER...\n"
           "Converts audio files between WAVE, MP3, WMA, FLAC, Opus, Ogg Vorbis, AAC and ALAC.\n\n"
           "  -t, --to " +
           TargetKeys("|") +
           "    target format (letters in any case)\n"
           "                          default: " +
           DescribeDefault(defaults) +
           "\n"
           "  -o, --output-dir DIR    write the outputs into DIR, made if it does not exist\n"
           "                          default: next to each original\n"
           "  -r, --recursive         also convert the files in the folders' sub-folders;\n"
           "                          with -o each keeps its sub-folder below DIR\n"
           "      --flat              with -r and -o, put every output straight into DIR\n"
           "      --wave-format TAG:CHANNELS:RATE:BITS\n"
           "                          WAVE output format, e.g. pcm:2:44100:16, float:2:48000:32,\n"
           "                          ima-adpcm:1:22050:4, alaw:1:8000:8; TAG is pcm, float,\n"
           "                          alaw, mulaw, ima-adpcm, ms-adpcm, gsm610 or a format tag\n"
           "                          number (17, 0x11)\n"
           "                          default: " +
           waveDefault +
           "\n"
           "      --bitrate KBPS      MP3 bit rate: " +
           ListText(Mp3BitRates, &Mp3BitRateChoice::Kbps) +
           "\n"
           "                          default: " +
           std::to_string(defaults.Mp3BitRate) +
           "\n"
           "      --rate HZ           MP3 sample rate: " +
           ListText(Mp3SampleRates, &Mp3SampleRateChoice::Hz) +
           "\n"
           "                          default: " +
           std::to_string(defaults.Mp3SampleRate) +
           "\n"
           "      --mono              MP3 in mono; default: " +
           stereo +
           "\n"
           "      --wma-quality 0.." +
           std::to_string(WmaQualities.size() - 1) + "  WMA quality, from " + WmaQualityText(0) +
           "\n"
           "                          to " +
           WmaQualityText(WmaQualities.size() - 1) + "; default: " + wmaDefault + "\n" +
           NumberOptionsHelp(defaults) +
           "      --no-tags           do not copy tags and the cover picture to the outputs\n"
           "  -y, --overwrite         replace existing outputs without asking\n"
           "  -n, --skip-existing     leave inputs whose output exists alone, convert the rest\n"
           "  -q, --quiet             show only error lines\n"
           "      --list              print each planned input and its output, separated by a\n"
           "                          tab, one pair a line, and convert nothing\n"
           "  -0, --null              with --list, end each path with a zero byte instead\n"
           "      --shard K/N         convert only share K of N: the files whose output path,\n"
           "                          relative to the output folder, hashes to K; N machines\n"
           "                          with 1/N .. N/N convert every file once\n"
           "  -j, --jobs N            convert N files at once, each in a process of its own;\n"
           "                          default: one per processor core (" +
           std::to_string(DefaultJobs()) +
           ")\n"
           "  -V, --version           show the version\n"
           "  -h, --help              show this help\n\n"
           "Defaults are the choices last saved in the program's window.\n"
           "Existing outputs are listed first; without -y or -n they are replaced only after\n"
           "you confirm (on a terminal), otherwise nothing is converted (exit code 3). Two\n"
           "inputs that would write the same output stop the job before it starts.\n"
           "The last line on standard output counts the files: converted, failed, skipped.\n"
           "Exit codes: 0 all converted, 1 some failed or nothing to convert, 2 usage error or\n"
           "unusable output folder, 3 outputs exist, 4 a codec module is missing,\n"
           "130 cancelled with Ctrl-C, 143 stopped with SIGTERM.\n";
}
