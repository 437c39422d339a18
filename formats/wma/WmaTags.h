#pragma once
// The carried tags in a Windows Media Audio file: ASF attributes, pictures as "WM/Picture".
#include "tags/TagFormat.h"

extern const TagFormat WmaTags;
