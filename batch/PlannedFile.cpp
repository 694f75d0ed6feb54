#include "PlannedFile.h"

#include "RealPath.h"

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

bool PlannedFile::isSkipped (bool createsMissingFiles) const
{
    const bool missing = ! file.exists() && ! file.isSymbolicLink();
    return ! file.existsAsFile() && ! (missing && createsMissingFiles);
}

std::vector<PlannedFile> PlannedFile::plan (const juce::File& folder, const juce::Array<juce::File>& files)
{
    // Compared by real path: a link may lead out of the folder, or to a file
    // that is also listed under its own name.
    const auto realFolder = RealPath::of (folder);
    std::map<fs::path, juce::File> firstNames;
    std::vector<PlannedFile> result;

    for (const auto& file : files)
    {
        PlannedFile planned;
        planned.file = file;
        const auto real = RealPath::of (file);

        if (! real.empty() && ! RealPath::liesWithin (real, realFolder))
        {
            planned.kind = Kind::outside;
            planned.detail = juce::String (real.u8string());
        }
        else if (! real.empty())
        {
            const auto [first, isNew] = firstNames.emplace (real, file);
            if (! isNew)
            {
                planned.kind = Kind::alias;
                planned.detail = first->second.getFullPathName();
            }
        }

        result.push_back (planned);
    }
    return result;
}
