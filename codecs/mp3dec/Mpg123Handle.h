#pragma once
// An owning libmpg123 handle; deleting it also closes what it had open.
#include <mpg123.h>

#include <memory>

struct Mpg123Deleter {
    void operator()(mpg123_handle* handle) const { mpg123_delete(handle); }
};
using Mpg123Ptr = std::unique_ptr<mpg123_handle, Mpg123Deleter>;
