#include "choices/WaveFormatChoices.h"

#include <algorithm>
#include <cstring>

#include "acm/WaveFormatCatalog.h"

namespace {
std::vector<WaveFormatTagChoice> WritableTags() {
    std::vector<WaveFormatTagChoice> tags;
    for (const uint16_t tag : WaveFormatCatalog::WritableTags()) {
        tags.push_back({tag, WaveFormatCatalog::TagName(tag)});
    }
    return tags;
}

// The record at the start of a format buffer, or nothing when its cbSize runs past the buffer.
std::vector<uint8_t> RecordIn(const uint8_t* buffer, std::size_t size) {
    if (buffer == nullptr || size < sizeof(WAVEFORMATEX)) {
        return {};
    }
    WAVEFORMATEX head{};
    std::memcpy(&head, buffer, sizeof head);
    const std::size_t length = sizeof head + head.cbSize;
    if (length > size) {
        return {};
    }
    return {buffer, buffer + length};
}
} // namespace

WaveFormatChoices::WaveFormatChoices(const uint8_t* current, std::size_t size)
    : tags_(WritableTags()) {
    std::vector<uint8_t> record = RecordIn(current, size);
    if (record.empty() || WaveFormatCatalog::Describe(record).empty()) {
        return;
    }
    WAVEFORMATEX head{};
    std::memcpy(&head, record.data(), sizeof head);
    const auto tag = std::find_if(tags_.begin(), tags_.end(),
                                  [&](const auto& t) { return t.Tag == head.wFormatTag; });
    if (tag == tags_.end()) {
        return;
    }
    current_ = std::move(record);
    currentTag_ = static_cast<std::size_t>(tag - tags_.begin());
    const auto formats = FormatsOf(currentTag_);
    const auto found = std::find_if(formats.begin(), formats.end(),
                                    [&](const auto& f) { return f.Record == current_; });
    currentFormat_ = static_cast<std::size_t>(found - formats.begin());
}

std::vector<WaveFormatChoice> WaveFormatChoices::FormatsOf(std::size_t tagItem) const {
    std::vector<WaveFormatChoice> formats;
    if (tagItem >= tags_.size()) {
        return formats;
    }
    const uint16_t tag = tags_[tagItem].Tag;
    for (auto& record : WaveFormatCatalog::OfferedRecords(tag)) {
        std::string description = WaveFormatCatalog::Describe(record);
        formats.push_back({std::move(record), std::move(description)});
    }
    // A current format that is not a standard one leads its tag's list.
    if (!current_.empty() && tagItem == currentTag_ &&
        std::none_of(formats.begin(), formats.end(),
                     [&](const auto& f) { return f.Record == current_; })) {
        formats.insert(formats.begin(), {current_, WaveFormatCatalog::Describe(current_)});
    }
    return formats;
}
