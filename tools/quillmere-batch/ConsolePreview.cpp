#include "ConsolePreview.h"

#include "DisplayName.h"

#include <cstdio>

ConsolePreview::ConsolePreview (BatchOperation& operation, Choice choiceToUse)
    : choice (choiceToUse),
      preview (operation, BatchPreview::Options { choiceToUse.diffs, false })
{
}

BatchPreview::Summary ConsolePreview::print()
{
    const auto summary = preview.run ([this] (const BatchPreview::FilePreview& file) {
        printFile (file);
        if (onFile)
            onFile (file);
    });

    if (choice.fileLines)
    {
        std::printf ("\n%s\n", BatchPreview::summaryLine (summary).toRawUTF8());
        if (summary.cancelled)
            std::printf ("Preview cancelled: the files after the last one above were not looked at.\n");
    }
    std::fflush (stdout);
    return summary;
}

void ConsolePreview::printFile (const BatchPreview::FilePreview& file) const
{
    if (choice.fileLines)
        std::printf ("%s\n", BatchPreview::fileLine (file).toRawUTF8());

    if (choice.diffs && ! file.diff.empty())
    {
        // patch would look for the decoded lines in the file's UTF-16 bytes and
        // reject every hunk: say so before it.
        if (file.decodedUtf16)
            std::printf ("# %s is UTF-16: its diff shows the text decoded as UTF-8, which patch cannot apply\n",
                         DisplayName::of (file.file).toRawUTF8());
        std::fwrite (file.diff.data(), 1, file.diff.size(), stdout);
    }
}
