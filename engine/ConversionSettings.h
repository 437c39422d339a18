#pragma once
// The job's choices are described with the formats they belong to.
#include "catalog/ConversionSettings.h"
