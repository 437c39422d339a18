// Writes the package's "Convert To" actions into a data folder, as `cmake --install` runs it:
//   bmc-system-actions EXECUTABLE SHARE_FOLDER
#include <filesystem>
#include <fstream>
#include <iostream>

#include "app/SystemActionFiles.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: bmc-system-actions EXECUTABLE SHARE_FOLDER\n";
        return 2;
    }
    for (const SystemActionFile& file : SystemActionFiles(argv[1])) {
        const fs::path path = fs::path(argv[2]) / file.path;
        std::error_code error;
        fs::create_directories(path.parent_path(), error);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << file.text;
        out.close();
        // An empty text is a program path the format cannot carry.
        if (error || !out || file.text.empty()) {
            std::cerr << "Unable to write to '" << path.string() << "'.\n";
            return 1;
        }
        std::cout << "-- Installing: " << path.string() << '\n';
    }
    return 0;
}
