// Times the file selector's folder work on a prepared folder (see selector-bench):
//   refresh FOLDER   re-reading the file list of FOLDER
//   expand FOLDER    loading the sub-folders of FOLDER at its first expansion
//   build FOLDER     the list of files to convert with FOLDER marked with its sub-folders
// Prints the first run and the best of five, in milliseconds of wall time, and the processor
// time of the best run (user + system), which a busy machine disturbs less.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>

#include "selector/FileSelectorModel.h"

namespace {
struct Times {
    double wall;
    double processor;
};

Times Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    work();
    return {
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
        1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC};
}

FolderTree::Locations Only(const std::string& folder) {
    FolderTree::Locations locations;
    locations.root = folder;
    return locations;
}

// Runs make (a fresh set-up, untimed) then work five times.
void Report(const char* what, const std::function<void()>& make,
            const std::function<std::size_t()>& work) {
    Times first{};
    Times best{1e300, 0};
    std::size_t count = 0;
    for (int i = 0; i < 5; ++i) {
        make();
        const Times t = Milliseconds([&] { count = work(); });
        first = i == 0 ? t : first;
        best = t.wall < best.wall ? t : best;
    }
    std::printf("%-32s %6zu items  first %7.1f ms  best %7.1f ms (processor %7.1f ms)\n", what,
                count, first.wall, best.wall, best.processor);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s refresh|expand|build FOLDER\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    const std::string folder = argv[2];
    std::unique_ptr<FileSelectorModel> model;
    auto fresh = [&] { model = std::make_unique<FileSelectorModel>(Only(folder)); };
    auto top = [&]() -> FolderNode& { return *model->Tree().TopLevel().front(); };

    if (mode == "refresh") {
        Report(
            "RefreshFileList", [&] { fresh(); },
            [&] {
                model->SelectFolder(&top());
                return model->Files().Size();
            });
    } else if (mode == "expand") {
        Report(
            "ExpandFolder (first expansion)", [&] { fresh(); },
            [&] { return model->ExpandFolder(top()); });
    } else if (mode == "build") {
        Report(
            "BuildConvertList",
            [&] {
                fresh();
                model->ClickFolderMark(top());
            },
            [&] {
                // The window counts the rows after every file.
                std::size_t calls = 0;
                model->BuildConvertList([&](const auto&) { ++calls; });
                return calls;
            });
    } else {
        std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
        return 2;
    }
    return 0;
}
