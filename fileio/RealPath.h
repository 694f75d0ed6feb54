#pragma once

#include <juce_core/juce_core.h>

#include <filesystem>

/** Where a file really is, every link followed, and whether a real path
    lies inside a folder: what keeps a run or a restore from reaching outside
    the folder it was given. */
struct RealPath
{
    /** The file's path with every link resolved; empty when it cannot be
        resolved (a missing file, a dangling link). */
    static std::filesystem::path of (const juce::File& file);

    /** True when path is folder itself or lies below it; both must be real
        paths, since the test is on their text. */
    static bool liesWithin (const std::filesystem::path& path, const std::filesystem::path& folder);
};
