#pragma once

#include "FilePattern.h"
#include "OperationDeclaration.h"
#include "OperationParameters.h"
#include "RecipeStep.h"

#include <juce_core/juce_core.h>

#include <vector>

/** The parameters of one batch run and of its description, as read from the
    panel or a command line. */
struct BatchSettings
{
    const OperationDeclaration* operation = nullptr; // none: nothing chosen
    OperationParameters parameters;                  // the operation's, under its declared keys
    std::vector<RecipeStep> steps;                   // a recipe's: applied to each file in this order, in one pass

    juce::String directoryPath;                          // the folder chosen: its files are listed
    bool recursive = false;                              // "files in folder and subfolders"
    juce::String filePattern = FilePattern::defaultText; // which files were listed
    juce::Array<juce::File> files;                       // the listed files, in list order
    juce::StringArray unlisted;                          // what the listing could not look into, a line each

    /** Whether the affected files are the chosen folder's listing (not, for
        a restore, an archive's entries). */
    bool listsFolder() const { return operation == nullptr || operation->listsFolder(); }

    /** The folder the run works in and writes its backup and log to: the
        chosen folder, or for a restore the folder that holds the archive. */
    juce::File workingFolder() const
    {
        if (! listsFolder())
            return operation->folderOf (parameters);
        return juce::File (directoryPath);
    }
};
