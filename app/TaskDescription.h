#pragma once

#include <juce_core/juce_core.h>

/** Everything the task description shows, as the panel or a command line gives it. */
struct TaskDescriptionInput
{
    juce::String operation;        // "replace string" or "convert value"; other texts show no operation lines
    juce::String replaceWhat;
    juce::String replaceWith;
    juce::String attribute;
    juce::String formula;
    juce::String folderPath;       // what the folder browser reports as its current file
    juce::String scope;            // "files in folder" or "files in folder and subfolders"
    int numFiles = 0;
    juce::String fileListText;     // every affected file's full path, each followed by "\n"
};

/** The plain-text description of what "Do it!" would do: the operation and its
    parameters, the folder, the scope and the full list of affected files. */
juce::String buildTaskDescription (const TaskDescriptionInput& input);
