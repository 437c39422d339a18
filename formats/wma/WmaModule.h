#pragma once
// The WMA codec module's file name, as the build names it (codecs/wma): both directions.
inline constexpr const char* WmaModuleFile = "libbmc-wma.so";
