#include "mirror/MirrorReport.h"

#include <cstdio>
#include <fstream>

#include "mirror/MirrorWriter.h"

namespace {
constexpr const char* ResultWords[] = {"unchanged", "not done", "done", "failed"};

// A JSON string: quotes, backslashes and control characters escaped; other bytes as they are.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}
} // namespace

MirrorReport::MirrorReport(const MirrorPlan& plan) : plan_(plan), entries_(plan.Items().size()) {
    for (std::size_t index = 0; index < entries_.size(); ++index) {
        const MirrorItem& item = plan.Items()[index];
        if (MirrorWriter::Writes(item)) {
            entries_[index].result = Result::Pending;
        }
        entries_[index].message = item.verdict.reason;
    }
}

void MirrorReport::Ended(std::size_t item, bool done, const std::string& message,
                         std::chrono::steady_clock::time_point start) {
    Entry& entry = entries_[item];
    entry.result = done ? Result::Done : Result::Failed;
    if (!message.empty()) {
        entry.message = message;
    }
    entry.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void MirrorReport::Explain(std::size_t item, const std::vector<std::string>& lines) {
    Entry& entry = entries_[item];
    const std::string named = "'" + plan_.Items()[item].SourcePath() + "'";
    for (const std::string& line : lines) {
        if (entry.result != Result::Done && entry.message.empty() &&
            line.find(named) != std::string::npos) {
            entry.message = line;
        }
    }
}

void MirrorReport::CloseUnfinished() {
    for (Entry& entry : entries_) {
        if (entry.result == Result::Pending) {
            entry.result = Result::Failed;
        }
    }
}

std::size_t MirrorReport::Failed() const {
    std::size_t failed = 0;
    for (const Entry& entry : entries_) {
        failed += entry.result == Result::Failed;
    }
    return failed;
}

std::size_t MirrorReport::Done(MirrorAction action) const {
    std::size_t done = 0;
    for (std::size_t index = 0; index < entries_.size(); ++index) {
        done += entries_[index].result == Result::Done && plan_.Items()[index].Action() == action;
    }
    return done;
}

bool MirrorReport::Write(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "{\n  \"items\": [";
    for (std::size_t index = 0; index < entries_.size(); ++index) {
        const MirrorItem& item = plan_.Items()[index];
        const Entry& entry = entries_[index];
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.3f", entry.seconds);
        out << (index ? ",\n    {" : "\n    {") << "\"source\": " << Quoted(item.SourcePath())
            << ", \"output\": " << Quoted(plan_.Folder() + "/" + item.output)
            << ", \"action\": " << Quoted(std::string(MirrorActionWord(item.Action())))
            << ", \"result\": " << Quoted(ResultWords[static_cast<int>(entry.result)])
            << ", \"message\": " << Quoted(entry.message) << ", \"seconds\": " << seconds << "}";
    }
    out << "\n  ],\n  \"totals\": {";
    const auto counts = plan_.Counts();
    for (std::size_t action = 0; action < counts.size(); ++action) {
        out << Quoted(std::string(MirrorActionWord(static_cast<MirrorAction>(action)))) << ": "
            << counts[action] << ", ";
    }
    out << "\"failed\": " << Failed() << "}\n}\n";
    out.flush();
    return static_cast<bool>(out);
}
