#pragma once

#include "BatchPreview.h"

#include <functional>

/** Prints a preview to standard output: each file's line and, when asked,
    the unified diff of each file that would change, so that the output can
    go straight to patch -p1. */
class ConsolePreview
{
public:
    struct Choice
    {
        bool fileLines = true; // each file's line and the closing summary
        bool diffs = false;
    };

    ConsolePreview (BatchOperation& operation, Choice choice);

    /** Stops before the next file while set. */
    void setCancelFlag (const std::atomic<bool>& flag) { preview.setCancelFlag (flag); }

    BatchPreview::Summary print();

    /** Called with each file's preview, after it is printed. */
    std::function<void (const BatchPreview::FilePreview&)> onFile;

private:
    void printFile (const BatchPreview::FilePreview& file) const;

    Choice choice;
    BatchPreview preview;
};
