#include "engine/ConversionSettings.h"

ConversionSettings& Settings() {
    static ConversionSettings settings;
    return settings;
}
