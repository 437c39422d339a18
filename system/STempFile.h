#pragma once
// A unique empty file in the temporary folder ($TMPDIR, else /tmp), named
// <folder>/<prefix><six random characters>.tmp; deleted again when the object goes. Whoever
// writes to it must have closed it by then.
#include <string>
#include <string_view>

class STempFile {
public:
    // The name is "" when no file could be created even after creating the folder.
    explicit STempFile(std::string_view prefix);
    STempFile(const STempFile&) = delete;
    STempFile& operator=(const STempFile&) = delete;
    ~STempFile();

    const std::string& Name() const { return name_; }

    // The temporary folder with a trailing '/'.
    static std::string TempFolder();

private:
    bool TryCreate(const std::string& folder, std::string_view prefix);

    std::string name_;
};
