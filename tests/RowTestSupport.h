#pragma once
// One row's context for tests that drive sources and sinks directly: the job's settings, the
// codec modules of the build's codec folder, the output path and the row's result.
#include <string>

#include "engine/RowContext.h"
#include "system/CodecModules.h"

struct TestRow {
    // codecFolders: where the codec modules are loaded from.
    explicit TestRow(std::vector<std::string> codecFolders = {std::string(BMC_CODEC_DIR) + "/"})
        : codecs(std::move(codecFolders)) {}

    ConversionSettings settings;
    std::string output;
    CodecModules codecs;
    JobEnvironment environment{codecs, ::pread, ""};
    RowResult result;
    AudioObserver* observer = nullptr;

    // What a source or sink of this row is given.
    RowContext Context() { return RowContext{settings, output, environment, result, observer}; }
    // The same, writing to path.
    RowContext At(const std::string& path) {
        return RowContext{settings, path, environment, result, observer};
    }
    // A fresh result, as the worker makes for each row.
    void ClearResult() {
        result.WriteError = false;
        result.ProtectedInput = false;
        result.InputError = ConversionError::ceNone;
        result.Values.clear();
    }
};
