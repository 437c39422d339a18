#include "engine/ReadNameValues.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

#include "system/FileNames.h"
#include "system/ProcessorCores.h"
#include "tags/ReadAudioTags.h"
#include "tags/TagFields.h"

namespace {
// Below this many, threads cost more than they save.
constexpr std::size_t InputsPerThread = 16;

void ReadTags(const std::string& input, NameValues& values) {
    const AudioTags tags = ReadAudioTagsOfFile(input);
    for (const TagField& field : TagFields) {
        const auto found = tags.fields.find(field.property);
        if (found != tags.fields.end() && !found->second.isEmpty()) {
            values.tags.emplace(field.property, found->second.front().to8Bit(true));
        }
    }
}
} // namespace

std::vector<NameValues> ReadNameValues(const std::vector<std::string>& inputs,
                                       const std::vector<std::string>& folders, bool withTags) {
    std::vector<NameValues> values(inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        values[i].baseName = RemoveExtension(GetFileNamePart(inputs[i]));
        values[i].folder = i < folders.size() ? folders[i] : std::string();
    }
    if (!withTags) {
        return values;
    }
    std::atomic<std::size_t> next = 0;
    const auto work = [&] {
        for (std::size_t i = next++; i < inputs.size(); i = next++) {
            ReadTags(inputs[i], values[i]);
        }
    };
    const std::size_t threads =
        std::min(ProcessorCores(), std::max<std::size_t>(1, inputs.size() / InputsPerThread));
    {
        std::vector<std::jthread> helpers;
        try {
            for (std::size_t t = 1; t < threads; ++t) {
                helpers.emplace_back(work);
            }
        } catch (const std::system_error&) {
            // No more threads to be had: those started and this one read the rest.
        }
        work();
    }
    return values;
}
