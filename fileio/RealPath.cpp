#include "RealPath.h"

namespace fs = std::filesystem;

fs::path RealPath::of (const juce::File& file)
{
    std::error_code error;
    auto path = fs::canonical (fs::u8path (file.getFullPathName().toStdString()), error);
    return error ? fs::path() : path;
}

bool RealPath::liesWithin (const fs::path& path, const fs::path& folder)
{
    const auto relative = path.lexically_relative (folder);
    return ! relative.empty() && *relative.begin() != "..";
}
