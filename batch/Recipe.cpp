#include "Recipe.h"

#include "NumberFormat.h"
#include "ShellWords.h"
#include "XmlTextEncoding.h"

namespace
{
    /** The words of one line after its verb: options first, then values. */
    struct StepWords
    {
        juce::StringArray options; // each option with its value, if it takes one
        juce::StringArray values;
    };

    /** Options come first; "--" ends them, so that a value may start with "--". */
    juce::Result splitOptions (const juce::StringArray& words, const juce::StringArray& optionsTakingAValue,
                               const juce::StringArray& flags, StepWords& split)
    {
        int i = 1;
        for (; i < words.size() && words[i].startsWith ("--"); ++i)
        {
            const auto& word = words[i];
            if (word == "--")
            {
                ++i;
                break;
            }
            if (flags.contains (word))
                split.options.add (word);
            else if (optionsTakingAValue.contains (word))
            {
                if (i + 1 >= words.size())
                    return juce::Result::fail (word + " needs a value");
                split.options.addArray ({ word, words[++i] });
            }
            else
                return juce::Result::fail ("unknown option " + word + " for " + words[0]
                                           + " (write -- before a value that starts with --)");
        }
        for (; i < words.size(); ++i)
            split.values.add (words[i]);
        return juce::Result::ok();
    }

    juce::Result expectValues (const juce::StringArray& words, const StepWords& split, const char* names)
    {
        if (split.values.size() == 2)
            return juce::Result::ok();
        return juce::Result::fail (words[0] + " takes " + names + ", here " + juce::String (split.values.size())
                                   + (split.values.size() == 1 ? " value" : " values")
                                   + (split.values.size() > 2 ? " (put a text that holds blanks in quotes)" : ""));
    }

    juce::Result readReplace (const juce::StringArray& words, RecipeStep& step)
    {
        StepWords split;
        if (auto read = splitOptions (words, {}, { "--regex" }, split); read.failed())
            return read;
        if (auto counted = expectValues (words, split, "WHAT and WITH"); counted.failed())
            return counted;
        if (split.values[0].isEmpty())
            return juce::Result::fail ("replace needs a text to replace: WHAT is empty");

        step.kind = OperationKind::replace;
        step.replace = { split.values[0], split.values[1], split.options.contains ("--regex") };
        return juce::Result::ok();
    }

    juce::Result readConvert (const juce::StringArray& words, RecipeStep& step)
    {
        StepWords split;
        if (auto read = splitOptions (words, { "--number-format" }, {}, split); read.failed())
            return read;
        if (auto counted = expectValues (words, split, "ATTRIBUTE and FORMULA"); counted.failed())
            return counted;
        if (split.values[0].isEmpty())
            return juce::Result::fail ("convert needs an attribute or a path: ATTRIBUTE is empty");

        step.kind = OperationKind::convert;
        step.convert = { split.values[0], split.values[1] };
        const auto format = split.options.indexOf ("--number-format");
        if (format >= 0)
        {
            step.convert.numberFormat = split.options[format + 1];
            if (! NumberFormat::parse (step.convert.numberFormat.toStdString()))
                return juce::Result::fail ("--number-format takes " + juce::String (NumberFormat::choices) + ", not "
                                           + step.convert.numberFormat);
        }
        return juce::Result::ok();
    }

    juce::Result readFilesLine (const juce::StringArray& words, Recipe& recipe)
    {
        const auto& verb = words[0];
        if (verb == "recursive")
        {
            if (words.size() != 1)
                return juce::Result::fail ("recursive takes no value");
            recipe.recursive = true;
            return juce::Result::ok();
        }
        if (words.size() != 2 || words[1].isEmpty())
            return juce::Result::fail (verb + " takes one GLOB (a list separated by ';' is one GLOB)");
        (verb == "include" ? recipe.includes : recipe.excludes).add (words[1]);
        return juce::Result::ok();
    }

    juce::Result readCommand (const ShellWords::Command& command, Recipe& recipe)
    {
        const auto& verb = command.words[0];
        if (verb == "replace" || verb == "convert")
        {
            RecipeStep step;
            step.line = command.line;
            auto read = verb == "replace" ? readReplace (command.words, step) : readConvert (command.words, step);
            if (read.wasOk())
                recipe.steps.push_back (step);
            return read;
        }
        if (verb == "include" || verb == "exclude" || verb == "recursive")
            return readFilesLine (command.words, recipe);
        return juce::Result::fail ("'" + verb + "' is not a step: a line says replace, convert, include, exclude or recursive");
    }
}

juce::Result Recipe::parse (const juce::String& text, Recipe& recipe)
{
    recipe = {};
    std::vector<ShellWords::Command> commands;
    if (auto split = ShellWords::split (text, commands); split.failed())
        return split;

    // Every bad line is named at once, so that one reading fixes them all.
    juce::StringArray problems;
    for (const auto& command : commands)
        if (auto read = readCommand (command, recipe); read.failed())
            problems.add ("line " + juce::String (command.line) + ": " + read.getErrorMessage());

    if (problems.isEmpty() && recipe.steps.empty())
        problems.add ("the recipe has no step: no replace or convert line");
    return problems.isEmpty() ? juce::Result::ok() : juce::Result::fail (problems.joinIntoString ("\n"));
}

juce::Result Recipe::load (const juce::File& file, Recipe& recipe)
{
    juce::MemoryBlock bytes;
    if (! file.existsAsFile() || ! file.loadFileAsData (bytes))
        return juce::Result::fail ("cannot read the recipe " + file.getFullPathName());

    std::string_view text (static_cast<const char*> (bytes.getData()), bytes.getSize());
    if (text.substr (0, 3) == "\xef\xbb\xbf")
        text.remove_prefix (3);
    if (! XmlTextEncoding::isValidUtf8 (text) || text.find ('\0') != std::string_view::npos)
        return juce::Result::fail ("the recipe " + file.getFullPathName() + " is not UTF-8 text");
    return parse (juce::String::fromUTF8 (text.data(), (int) text.size()), recipe);
}

juce::String Recipe::toText() const
{
    juce::StringArray lines { "# Quillmere recipe: one step a line, applied to each file in one pass" };
    for (const auto& step : steps)
        lines.add (step.text());
    for (const auto& pattern : includes)
        lines.add ("include " + ShellWords::quote (pattern));
    for (const auto& pattern : excludes)
        lines.add ("exclude " + ShellWords::quote (pattern));
    if (recursive)
        lines.add ("recursive");
    return lines.joinIntoString ("\n") + "\n";
}
