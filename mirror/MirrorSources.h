#pragma once
// The sources of a mirror run, as both front ends collect them: each source folder's files with
// the outputs the naming gives them (the tree below the folder kept, or a naming pattern), the
// non-audio extras copied beside them, and one share's part of them. Two sources that would
// write one output, and a mirror folder inside a source folder (or the reverse), are found here,
// before anything is written.
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/DestinationSettings.h"
#include "mirror/MirrorPlan.h"

class MirrorSources {
public:
    // Whether an output (relative to the mirror's folder) belongs to this run's share.
    using ShareHolds = std::function<bool(const std::string& output)>;
    // An output that two sources would write, with both.
    struct Clash {
        std::string output;
        std::string first;
        std::string second;
    };

    // folder: the mirror's folder, absolute. extras: file name patterns ("cover.jpg", "*.png").
    MirrorSources(std::string folder, DestinationSettings destination,
                  std::vector<std::string> extras, ShareHolds holds = {});

    // The files of one source folder, absolute paths each with its folder below root ("" or
    // "a/b/"). Extras are looked for only below a folder given as one, not beside a lone file.
    void Add(const std::string& root, bool isFolder, const std::vector<std::string>& paths,
             const std::vector<std::string>& subFolders);

    const std::string& Folder() const { return folder_; }
    const std::vector<std::string>& Roots() const { return roots_; }
    const std::vector<MirrorSource>& Files() const { return files_; }

    std::vector<Clash> Clashes() const;
    // Why the mirror's folder cannot be used with these source folders, as a line naming both;
    // empty when it can.
    std::string NestingRefusal() const;

    // "cover.jpg,*.png": patterns of file names, as a shell matches them, separated by commas.
    // False, with the pattern that is none (empty, or with a '/'), when the text is not so.
    static bool ExtraPatterns(std::string_view text, std::vector<std::string>& patterns,
                              std::string& bad);
    // The source folder an input came from, given its folder below it: absolute, without a
    // trailing slash.
    static std::string RootOf(const std::string& input, const std::string& subFolder);
    // A path made absolute and normal, without a trailing slash.
    static std::string Absolute(const std::string& path);

private:
    void Keep(MirrorSource source);
    void CollectExtras(const std::string& root,
                       const std::map<std::string, std::string>& outputFolders);

    std::string folder_;
    DestinationSettings destination_;
    std::vector<std::string> extras_;
    ShareHolds holds_;
    std::vector<std::string> roots_;
    std::vector<MirrorSource> files_;
};
