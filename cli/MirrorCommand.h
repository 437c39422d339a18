#pragma once
// brindlex-convert --mirror: keeps the output folder in step with the source folders, through the
// mirror's plan (decided before anything is written, printed by --list) and its journal.
struct CliOptions;
struct ConversionSettings;
struct JobEnvironment;

// The exit code (ConvertCommand.h).
int RunMirrorCommand(const CliOptions& options, const ConversionSettings& settings,
                     const JobEnvironment& environment);
