#pragma once
// What one row's source and sink work with: the job's settings, the path the sink writes, the
// process's codec modules and reads, where failures found while converting go, and the row's
// observer of the decoded audio, if any.
#include <string>
#include <string_view>

#include "catalog/ConversionSettings.h"
#include "engine/AudioObserver.h"
#include "engine/JobEnvironment.h"
#include "engine/PartWindow.h"
#include "engine/RowResult.h"

struct RowContext {
    const ConversionSettings& Settings;
    std::string OutputPath;
    const JobEnvironment& Environment;
    RowResult& Result;
    // Owned by whoever converts the row; null: nothing watches this row.
    AudioObserver* Observer = nullptr;
    // The type of the input when its path does not tell (a /proc/self/fd link); empty: by its
    // path's extension.
    std::string_view InputExtension = {};
    // Nothing is encoded or written: the audio only passes to the observer, in the input's own
    // shape (for decoding a file to check it).
    bool ObserveOnly = false;
    // The row's part of the input, which the sink keeps of the audio; null: all of it.
    PartWindow* Window = nullptr;
};
