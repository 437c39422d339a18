#include "engine/RenameTable.h"

#include <strings.h>

void RenameTable::Apply(std::string& path) const {
    for (const Entry& entry : entries_) {
        if (strcasecmp(entry.OldPath.c_str(), path.c_str()) == 0) {
            path = entry.NewPath;
            return;
        }
    }
}

RenameTable& Renames() {
    static RenameTable table;
    return table;
}

void ApplyRename(std::string& path) {
    Renames().Apply(path);
}
