#include "engine/RenameTable.h"

void RenameTable::Apply(std::string& path) const {
    for (const Entry& entry : entries_) {
        if (entry.OldPath == path) {
            path = entry.NewPath;
            return;
        }
    }
}

RenameTable& Renames() {
    static RenameTable table;
    return table;
}
