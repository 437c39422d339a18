#include "choices/PlannedJob.h"

#include <filesystem>
#include <map>
#include <variant>

#include "engine/NamePattern.h"

namespace fs = std::filesystem;

PlannedJob::PlannedJob(std::vector<std::string> inputs, std::vector<std::string> subFolders,
                       DestinationSettings destination, bool keepTree,
                       std::vector<std::optional<RowPart>> parts)
    : inputs_(std::move(inputs)), subFolders_(std::move(subFolders)),
      destination_(std::move(destination)), keepTree_(keepTree), parts_(std::move(parts)) {}

JobPlan PlannedJob::Plan(const RenameTable& renames) const {
    return JobPlan(inputs_, destination_, renames, InputFolders(subFolders_, KeepsTree()),
                   JobPlan::RowFilter(), parts_);
}

bool PlannedJob::MakesFolders() const {
    return KeepsTree() || (!destination_.SameFolder && !destination_.NamePattern.empty());
}

std::vector<std::string> PlannedJob::ClashLines() const {
    const JobPlan plan = Plan();
    // Per output, its first row's line, so that every input of one output stands on one line.
    std::map<std::size_t, std::string> lines;
    for (const std::size_t row : plan.ClashingRows()) {
        const PlannedRow& clash = plan.Rows()[row];
        const std::size_t first = *clash.SameOutputAs;
        auto [line, added] = lines.try_emplace(first);
        if (added) {
            line->second = clash.Output + "  <-  " + plan.Rows()[first].Input;
        }
        line->second += ", " + clash.Input;
    }
    std::vector<std::string> result;
    result.reserve(lines.size());
    for (auto& [first, line] : lines) {
        result.push_back(std::move(line));
    }
    return result;
}

bool PlannedJob::KeepingTheTreeWouldHelp() const {
    // A naming pattern alone names the outputs, whatever the tree.
    if (destination_.SameFolder || KeepsTree() || !destination_.NamePattern.empty()) {
        return false;
    }
    return JobPlan(inputs_, destination_, RenameTable(), subFolders_, JobPlan::RowFilter(), parts_)
        .ClashingRows()
        .empty();
}

std::string PlannedJob::FolderRefusal() const {
    if (destination_.SameFolder) {
        return {};
    }
    if (destination_.Folder.empty()) {
        return "Please type the folder to save the converted files in, or choose it with "
               "\"Browse..\".";
    }
    if (!fs::path(destination_.Folder).is_absolute()) {
        return "The folder '" + destination_.Folder +
               "' is not a full path (one that begins with '/'). Please type the whole path, "
               "or choose the folder with \"Browse..\".";
    }
    return {};
}

bool PlannedJob::FolderMissing() const {
    std::error_code error;
    return !destination_.SameFolder && !fs::exists(fs::symlink_status(destination_.Folder, error));
}

std::string PlannedJob::NamingRefusal() const {
    if (destination_.SameFolder || destination_.NamePattern.empty()) {
        return {};
    }
    const auto parsed = NamePattern::Parse(destination_.NamePattern);
    const auto* error = std::get_if<NamePatternError>(&parsed);
    return error ? error->Message() : std::string();
}

bool PlannedJob::IsOriginalItself(const PlannedRow& row) {
    std::error_code error;
    return row.OutputExists && fs::equivalent(row.Input, row.Output, error);
}
