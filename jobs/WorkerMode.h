#pragma once
// brindlex-convert --worker: converts the files its parent hands over, one at a time, each with
// the conversion worker, and reports back (see WorkerMessages). A crash here fails only the file
// being converted; the parent starts another worker.
#include "engine/AudioObserver.h"

struct JobEnvironment;

// False, with a line on standard error, when this process was not started as a worker. kinds:
// the observers a job may name.
bool RunWorkerMode(const JobEnvironment& environment, const AudioObserverKinds& kinds = {});
