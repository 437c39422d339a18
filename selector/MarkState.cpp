#include "selector/MarkState.h"

std::string_view MarkCaption(int state) {
    switch (state) {
    case stNone:
        return "File Will not be Converted";
    case stToSelected:
        return "To Selected Files and Folders";
    case stContainsFiles:
        return "Contains Files to be Converted";
    case stJustFiles:
        return "Convert All Files in Folder (exc sub-folders)";
    case stFully:
        return "Convert All Files in Folder (inc Sub-folders)";
    case stFileConverted:
        return "This File will be Converted";
    default:
        return "";
    }
}
