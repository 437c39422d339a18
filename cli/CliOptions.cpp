#include "cli/CliOptions.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "engine/ConversionSettings.h"

namespace {
constexpr std::array<int32_t, 8> Mp3BitRates = {320, 256, 192, 160, 128, 96, 64, 56};
constexpr std::array<int32_t, 3> Mp3SampleRates = {48000, 44100, 32000};

bool ParseInt(const std::string& text, int32_t& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

template <std::size_t N> bool OneOf(const std::array<int32_t, N>& values, int32_t value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

// Splits "--name=value" and fetches the value of an option that takes one.
class ArgReader {
public:
    explicit ArgReader(const std::vector<std::string>& args) : args_(args) {}
    bool More() const { return next_ < args_.size(); }
    const std::string& Take() { return args_[next_++]; }
    bool Value(const std::string& name, std::optional<std::string> inlineValue, std::string& value,
               std::string& error) {
        if (inlineValue) {
            value = *inlineValue;
            return true;
        }
        if (!More()) {
            error = "option " + name + " needs a value";
            return false;
        }
        value = Take();
        return true;
    }

private:
    const std::vector<std::string>& args_;
    std::size_t next_ = 0;
};

bool ParseTarget(const std::string& value, CliOptions& options, std::string& error) {
    if (value == "wav") {
        options.target = tfWave;
    } else if (value == "mp3") {
        options.target = tfMp3;
    } else if (value == "wma") {
        options.target = tfWMA;
    } else {
        error = "--to takes wav, mp3 or wma, not '" + value + "'";
        return false;
    }
    return true;
}

bool ParseValueOption(const std::string& name, const std::string& value, CliOptions& options,
                      std::string& error) {
    if (name == "--to") {
        return ParseTarget(value, options, error);
    }
    if (name == "--output-dir") {
        options.outputDir = value;
        return true;
    }
    if (name == "--wave-format") {
        options.waveFormat = value;
        return true;
    }
    int32_t number = 0;
    const bool isNumber = ParseInt(value, number);
    if (name == "--bitrate") {
        if (!isNumber || !OneOf(Mp3BitRates, number)) {
            error = "--bitrate takes one of 320, 256, 192, 160, 128, 96, 64, 56 (kbit/s)";
            return false;
        }
        options.bitRate = number;
        return true;
    }
    if (name == "--rate") {
        if (!isNumber || !OneOf(Mp3SampleRates, number)) {
            error = "--rate takes one of 48000, 44100, 32000 (Hz)";
            return false;
        }
        options.sampleRate = number;
        return true;
    }
    // --wma-quality
    if (!isNumber || number < 0 || number > 7) {
        error = "--wma-quality takes a number from 0 to 7";
        return false;
    }
    options.wmaQuality = number;
    return true;
}

bool TakesValue(const std::string& name) {
    return name == "--to" || name == "--output-dir" || name == "--wave-format" ||
           name == "--bitrate" || name == "--rate" || name == "--wma-quality";
}

bool ParseFlag(const std::string& name, CliOptions& options) {
    if (name == "--recursive") {
        options.recursive = true;
    } else if (name == "--mono") {
        options.mono = true;
    } else if (name == "--overwrite") {
        options.overwrite = true;
    } else if (name == "--no-tags") {
        options.noTags = true;
    } else if (name == "--help" || name == "-h") {
        options.help = true;
    } else {
        return false;
    }
    return true;
}

} // namespace

bool CheckOptionsForTarget(const CliOptions& options, uint8_t target, std::string& error) {
    const bool mp3Options = options.bitRate || options.sampleRate || options.mono;
    if (mp3Options && target != tfMp3) {
        error = "--bitrate, --rate and --mono apply only to MP3 output (--to mp3)";
        return false;
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
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (const std::size_t eq = arg.find('=');
            arg.starts_with("--") && eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        if (TakesValue(name)) {
            std::string value;
            if (!reader.Value(name, inlineValue, value, error) ||
                !ParseValueOption(name, value, options, error)) {
                return false;
            }
        } else if (inlineValue || !ParseFlag(name, options)) {
            error = "unknown option '" + arg + "'";
            return false;
        }
    }
    if (options.help) {
        return true;
    }
    if (options.inputs.empty()) {
        error = "no files or folders to convert";
        return false;
    }
    return true;
}

std::string CliUsage() {
    return R"(Usage: brindlex-convert [options] FILE|FOLDER...
Converts audio files between WAVE, MP3 and Windows Media Audio.

  --to wav|mp3|wma      target format (default: the one last chosen in the program)
  --output-dir DIR      write the outputs into DIR (default: next to each original)
  --recursive           also convert the files in the folders' sub-folders
  --wave-format TAG:CHANNELS:RATE:BITS
                        WAVE output format, e.g. pcm:2:44100:16, ima-adpcm:1:22050:4,
                        alaw:1:8000:8; TAG is pcm, float, alaw, mulaw, ima-adpcm,
                        ms-adpcm, gsm610 or a format tag number (17, 0x11)
                        (default: the WAVE output format kept in WaveCompress.bin)
  --bitrate KBPS        MP3 bit rate: 320, 256, 192, 160, 128, 96, 64, 56
  --rate HZ             MP3 sample rate: 48000, 44100, 32000
  --mono                MP3 in mono
  --wma-quality 0..7    WMA quality, from 0 (44100 Hz 160 kbit/s) to 7 (32000 Hz 36 kbit/s)
  --overwrite           replace existing outputs without asking
  --no-tags             do not copy the tags and cover picture to the outputs
  -h, --help            show this help

Existing outputs are listed first; without --overwrite they are replaced only after
you confirm (on a terminal), otherwise nothing is converted (exit code 3).
Exit codes: 0 all converted, 1 some failed, 2 usage error, 3 outputs exist,
4 the WMA module is missing for a job that needs it, 130 cancelled with Ctrl-C.
)";
}
