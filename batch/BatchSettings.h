#pragma once

#include "ConvertParameters.h"
#include "FilePattern.h"
#include "OperationKind.h"
#include "RecipeStep.h"
#include "ReplaceParameters.h"

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

/** The parameters of one batch run and of its description, as read from the
    panel or a command line. */
struct BatchSettings
{
    using ReplaceParameters = ::ReplaceParameters;
    using ConvertParameters = ::ConvertParameters;

    struct RestoreParameters
    {
        juce::File archive; // the backup to restore from
    };

    struct RecipeParameters
    {
        std::vector<RecipeStep> steps; // applied to each file in this order, in one pass
    };

    std::optional<OperationKind> operation; // none: nothing chosen
    ReplaceParameters replace;
    ConvertParameters convert;
    RestoreParameters restore;
    RecipeParameters recipe;

    juce::String directoryPath;                          // the folder chosen: its files are listed
    bool recursive = false;                              // "files in folder and subfolders"
    juce::String filePattern = FilePattern::defaultText; // which files were listed
    juce::Array<juce::File> files;                       // the listed files, in list order
    juce::StringArray unlisted;                          // what the listing could not look into, a line each

    /** The folder the run works in and writes its backup and log to: the
        chosen folder, or for a restore the folder that holds the archive. */
    juce::File workingFolder() const
    {
        if (operation == OperationKind::restore)
            return restore.archive.getParentDirectory();
        return juce::File (directoryPath);
    }
};
