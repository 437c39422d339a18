#pragma once
// What the job driver reads from the form that starts its jobs, and the window its questions and
// messages belong to. The options form is one; the driver knows no more of it than this.
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "choices/PlannedJob.h"
#include "engine/ConverterChoices.h"
#include "engine/DestinationSettings.h"
#include "engine/WaveOutputFormatFile.h"

class JobForm {
public:
    virtual std::vector<std::string> InputPaths() const = 0;
    // The choices as the controls show them.
    virtual ConverterChoices Choices() const = 0;
    // The WAVE output format as the chooser left it.
    virtual const WaveOutputFormatBuffer& WaveOutputFormat() const = 0;
    virtual uint8_t TargetFormat() const = 0;
    // Where the outputs go, as the destination controls and format buttons say.
    virtual DestinationSettings Destination() const = 0;
    // The conversion list with the destination and "Keep folder tree", to check before a job.
    virtual PlannedJob Planned() const = 0;
    // Ticks "Keep folder tree", as the answer to outputs that would clash.
    virtual void KeepFolderTree() = 0;
    virtual QWidget& Window() = 0;

protected:
    ~JobForm() = default;
};
