#include "engine/NamePatternError.h"

std::string NamePatternError::Message() const {
    return "Naming pattern '" + pattern + "': " + problem + " at byte " + std::to_string(offset) +
           ".";
}
