#include "TaskDescription.h"

#include "BatchTexts.h"

juce::String buildTaskDescription (const TaskDescriptionInput& input)
{
    juce::String text;

    if (input.operation == BatchTexts::replaceOperation)
        text << "Replace string: '" << input.replaceWhat << "' \n"
             << "with new string: '" << input.replaceWith << "' \n";

    if (input.operation == BatchTexts::convertOperation)
        text << "Convert value of attributes with name: '" << input.attribute << "' \n"
             << "via the conversion formula: " << input.formula << "\n";

    text << "\n" << "in " << "xml-files in folder: " << input.folderPath;

    if (input.scope == BatchTexts::recursiveScope)
        text << "\nand all its subfolders (recursively)";

    text << "\n" << "\n" << "affected files (" << juce::String (input.numFiles) << "):\n" << "\n"
         << input.fileListText;

    return text;
}
