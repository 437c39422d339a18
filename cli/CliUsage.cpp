#include "cli/CliUsage.h"

#include <string_view>

#include "cli/CliOptions.h"
#include "cli/FormatWords.h"
#include "cli/OptionsHelp.h"
#include "cli/TargetDescription.h"

namespace {
std::string DefaultCoverFileList() {
    std::string list;
    for (const std::string_view name : DefaultCoverFiles) {
        list += (list.empty() ? "" : ",") + std::string(name);
    }
    return list;
}
} // namespace

std::string CliUsage(const ConversionSettings& defaults) {
    return "Usage: brindlex-convert [options] FILE|FOLDER...\n"
           "Converts audio files between " +
           FormatsInASentence() +
           ".\n\n"
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
           "      --name PATTERN      with -o, name each output below DIR from its tags, e.g.\n"
           "                          '{albumartist}/[{year} - ]{album}/{track:02} - {title}';\n"
           "                          fields: artist, albumartist, album, title, track, disc,\n"
           "                          year, genre, composer, name, folder; '/' makes folders\n"
           "      --base DIR          the library folder: inputs below DIR keep their folders\n"
           "                          below the output folder, and {folder}, relative to DIR\n"
           "      --safe-names        name outputs as any file system takes them: no < > : \"\n"
           "                          \\ | ? * or control characters, no reserved names\n"
           "      --from TYPES        collect only these types from the folders, e.g. flac,wav;\n"
           "                          TYPES: " +
           InputTypeWords(", ") +
           ";\n"
           "                          files named alone are converted whatever their type\n"
           "      --cue-charset NAME  read cue sheets that are not UTF-8 in this character\n"
           "                          set, e.g. windows-1251; else it is recognised\n"
           "      --no-tags           do not copy tags and the cover picture to the outputs\n"
           "      --cover-size PIXELS\n"
           "                          scale a front cover larger than PIXELS on a side\n"
           "                          down to fit, as a JPEG picture; 0: as they are\n"
           "      --cover-file NAMES  give an input without a front cover the first of\n"
           "                          NAMES found in its folder, in any letter case; the\n"
           "                          window's folder cover looks for\n"
           "                          " +
           DefaultCoverFileList() +
           "\n"
           "      --replaygain MODE   measure each input's loudness (EBU R128) as it is\n"
           "                          converted and tag its output with the ReplayGain:\n"
           "                          track, album (the files of a folder that share an\n"
           "                          album tag, measured together), or none (default:\n"
           "                          the window's choice)\n"
           "      --verify            decode each output again before it takes its name:\n"
           "                          a lossless one must give back the input's samples,\n"
           "                          any other its length; a failed check fails the file\n"
           "                          (on by default when the window's choice says so)\n"
           "      --no-verify         do not, whatever the window's choice\n"
           "      --split             split a FLAC file whose own cue sheet lists tracks into\n"
           "                          its tracks, as a .cue file beside it would (on by\n"
           "                          default when the window's choice says so)\n"
           "      --no-split          do not, whatever the window's choice\n"
           "  -y, --overwrite         replace existing outputs without asking\n"
           "  -n, --skip-existing     leave inputs whose output exists alone, convert the rest\n"
           "  -q, --quiet             show only error lines\n"
           "      --list              print each planned input and its output, separated by a\n"
           "                          tab, one pair a line, and convert nothing\n"
           "  -0, --null              with --list, end each path with a zero byte instead\n"
           "      --shard K/N         convert only share K of N: the files whose output path,\n"
           "                          relative to the output folder, hashes to K; N machines\n"
           "                          with 1/N .. N/N convert every file once\n"
           "      --mirror            keep DIR in step with the folders given (implies -r):\n"
           "                          convert what is new or changed, rewrite only the tags\n"
           "                          where only they changed, delete the outputs of removed\n"
           "                          originals; with --list, print what it would do\n"
           "      --copy-same         with --mirror, copy originals in the target format\n"
           "      --copy-lossy        with --mirror, copy lossy originals to a lossy target\n"
           "      --extras PATTERNS   with --mirror, copy the files matching PATTERNS (such as\n"
           "                          cover.jpg,*.png) beside their folder's outputs\n"
           "      --report FILE       with --mirror, write what became of each file as JSON\n"
           "  -j, --jobs N            convert N files at once, each in a process of its own;\n"
           "                          default: one per processor core (" +
           std::to_string(DefaultJobs()) +
           ")\n"
           "      --preset NAME       start from the preset NAME (one built in or saved in the\n"
           "                          window); the options given override it\n"
           "      --list-presets      print the names of the presets\n"
           "  -V, --version           show the version\n"
           "  -h, --help              show this help\n\n"
           "Options of the target formats:\n" +
           FormatOptionsHelp(defaults) +
           "\n"
           "Defaults are the choices last saved in the program's window.\n"
           "Existing outputs are listed first; without -y or -n they are replaced only after\n"
           "you confirm (on a terminal), otherwise nothing is converted (exit code 3). Two\n"
           "inputs that would write the same output stop the job before it starts.\n"
           "The last line on standard output counts the files: converted, failed, skipped.\n"
           "Exit codes: 0 all converted, 1 some failed or nothing to convert, 2 usage error or\n"
           "unusable output folder, 3 outputs exist, 4 a codec module is missing,\n"
           "130 cancelled with Ctrl-C, 143 stopped with SIGTERM.\n";
}
