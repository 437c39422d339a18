#pragma once
// What one row's conversion found: what went wrong, raised by its source and sink (the WMA
// reader's thread among them) and read by the worker once the source is gone, and the values its
// observer measured.
#include <atomic>

#include "engine/ConversionError.h"
#include "engine/RowValues.h"

struct RowResult {
    std::atomic<bool> WriteError = false;
    // The errno of the write the output's file refused, where the sink had it; 0 when unknown.
    std::atomic<int> WriteErrno = 0;
    std::atomic<bool> ProtectedInput = false;
    // A failure found after the source opened (its decoder gave up, or has no codec for the
    // content, or nothing could be read): reported with ConversionErrorLine, as if opening had
    // failed.
    std::atomic<ConversionError> InputError = ConversionError::ceNone;
    // The encoder was given the input's samples in another format (rate, channels or sample
    // format): its output cannot give back the input's samples exactly.
    std::atomic<bool> Reshaped = false;
    // Set as the sink goes, on the thread that destroys the source.
    RowValues Values;

    void RefusedWrite(int error) {
        WriteError = true;
        if (error != 0)
            WriteErrno = error;
    }
};
