#pragma once
// The module file names are facts of the formats that need them.
#include "formats/CodecModuleFiles.h"
