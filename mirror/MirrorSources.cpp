#include "mirror/MirrorSources.h"

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>

#include "engine/JobPlan.h"
#include "engine/OutputClaims.h"
#include "system/FileNames.h"

namespace fs = std::filesystem;

namespace {
bool Within(const std::string& inner, const std::string& outer) {
    std::error_code ec;
    const std::string a = fs::weakly_canonical(inner, ec).string();
    const std::string b = fs::weakly_canonical(outer, ec).string();
    return a == b || a.starts_with(b == "/" ? b : b + "/");
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}
} // namespace

MirrorSources::MirrorSources(std::string folder, DestinationSettings destination,
                             std::vector<std::string> extras, ShareHolds holds)
    : folder_(std::move(folder)), destination_(std::move(destination)), extras_(std::move(extras)),
      holds_(std::move(holds)) {}

std::string MirrorSources::Absolute(const std::string& path) {
    std::error_code ec;
    return WithoutTrailingSlash(fs::absolute(path, ec).lexically_normal().string());
}

std::string MirrorSources::RootOf(const std::string& input, const std::string& subFolder) {
    fs::path root = fs::path(input).parent_path();
    for (const char c : subFolder) {
        if (c == '/') {
            root = root.parent_path();
        }
    }
    return Absolute(root.string());
}

bool MirrorSources::ExtraPatterns(std::string_view text, std::vector<std::string>& patterns,
                                  std::string& bad) {
    patterns.clear();
    for (std::size_t start = 0; !text.empty() && start <= text.size();) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        std::string pattern(text.substr(start, end - start));
        if (pattern.empty() || pattern.find('/') != std::string::npos) {
            bad = std::move(pattern);
            return false;
        }
        patterns.push_back(std::move(pattern));
        start = end + 1;
    }
    return true;
}

void MirrorSources::Add(const std::string& root, bool isFolder,
                        const std::vector<std::string>& paths,
                        const std::vector<std::string>& subFolders) {
    if (std::ranges::find(roots_, root) == roots_.end()) {
        roots_.push_back(root);
    }
    std::map<std::string, std::string> outputFolders;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string output =
            JobPlan::OutputOf(paths[i], destination_, RenameTable(), subFolders[i]);
        MirrorSource source{root, subFolders[i] + GetFileNamePart(paths[i]),
                            fs::path(output).lexically_relative(folder_).string()};
        outputFolders.emplace(subFolders[i], GetFolderPart(source.output));
        Keep(std::move(source));
    }
    if (isFolder && !extras_.empty()) {
        CollectExtras(root, outputFolders);
    }
}

void MirrorSources::Keep(MirrorSource source) {
    if (!holds_ || holds_(source.output)) {
        files_.push_back(std::move(source));
    }
}

// The non-audio files below root whose names match one of the patterns, each copied into the
// folder its folder's first audio output went to (outputFolders, by folder below root).
void MirrorSources::CollectExtras(const std::string& root,
                                  const std::map<std::string, std::string>& outputFolders) {
    std::error_code ec;
    for (fs::recursive_directory_iterator
             it(root, fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec) && Within(it->path().string(), folder_)) {
            it.disable_recursion_pending();
            continue;
        }
        const std::string name = it->path().filename().string();
        const bool matches = std::ranges::any_of(extras_, [&](const std::string& pattern) {
            return fnmatch(pattern.c_str(), name.c_str(), 0) == 0;
        });
        const std::string below = it->path().parent_path().lexically_relative(root).string();
        const std::string subFolder = below == "." ? "" : below + "/";
        const auto outputs = outputFolders.find(subFolder);
        if (matches && it->is_regular_file(ec) && outputs != outputFolders.end()) {
            Keep(MirrorSource{root, subFolder + name, outputs->second + name, true});
        }
    }
}

std::vector<MirrorSources::Clash> MirrorSources::Clashes() const {
    OutputClaims claims;
    std::vector<Clash> clashes;
    for (std::size_t index = 0; index < files_.size(); ++index) {
        const std::string output = folder_ + "/" + files_[index].output;
        if (const std::optional<std::size_t> first = claims.Owner(output)) {
            clashes.push_back({output, files_[*first].Path(), files_[index].Path()});
        } else {
            claims.Claim(output, index);
        }
    }
    return clashes;
}

// A mirror inside its sources would mirror itself; sources inside it would be deleted as orphans.
std::string MirrorSources::NestingRefusal() const {
    for (const std::string& root : roots_) {
        if (Within(folder_, root) || Within(root, folder_)) {
            return "the mirror's folder '" + folder_ + "' and the source folder '" + root +
                   "' lie one inside the other; nothing was converted.";
        }
    }
    return {};
}
