#pragma once
// The carried tags in a Windows Media Audio file: ASF attributes (free-form fields as text
// attributes under their names), pictures as "WM/Picture", each in the order the file lists them.
#include "tags/TagFormat.h"

extern const TagFormat WmaTags;
