#pragma once
// What one row's source and sink work with: the job's settings, the path the sink writes, the
// process's codec modules and reads, and where failures found while converting go.
#include <string>

#include "catalog/ConversionSettings.h"
#include "engine/JobEnvironment.h"
#include "engine/RowResult.h"

struct RowContext {
    const ConversionSettings& Settings;
    std::string OutputPath;
    const JobEnvironment& Environment;
    RowResult& Result;
};
