#include "Recipe.h"

#include "RecipeOperation.h"

#include "OperationRegistry.h"
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

    /** A step's words after its verb, as its operation declares them. */
    juce::Result readStep (const juce::StringArray& words, const OperationDeclaration& operation, RecipeStep& step)
    {
        juce::StringArray flags, optionsTakingAValue;
        for (const auto* named : operation.namedParameters())
            (named->kind == ParameterDeclaration::Kind::flag ? flags : optionsTakingAValue).add (named->option);

        StepWords split;
        if (auto read = splitOptions (words, optionsTakingAValue, flags, split); read.failed())
            return read;

        const auto inOrder = operation.valuesInOrder();
        if (split.values.size() != (int) inOrder.size())
        {
            juce::StringArray names;
            for (const auto* value : inOrder)
                names.add (value->valueName);
            return juce::Result::fail (words[0] + " takes " + names.joinIntoString (" and ") + ", here " + juce::String (split.values.size())
                                       + (split.values.size() == 1 ? " value" : " values")
                                       + (split.values.size() > (int) inOrder.size() ? " (put a text that holds blanks in quotes)" : ""));
        }

        step.operation = &operation;
        step.parameters = operation.defaults();
        for (size_t i = 0; i < inOrder.size(); ++i)
        {
            const auto& value = split.values[(int) i];
            if (value.isEmpty() && inOrder[i]->neededAs.isNotEmpty())
                return juce::Result::fail (words[0] + " needs " + inOrder[i]->neededAs + ": " + inOrder[i]->valueName + " is empty");
            step.parameters.set (inOrder[i]->key, value);
        }

        for (int i = 0; i < split.options.size(); ++i)
        {
            const auto* named = operation.parameterWithOption (split.options[i]);
            if (named->kind == ParameterDeclaration::Kind::flag)
            {
                step.parameters.setFlag (named->key, true);
                continue;
            }
            const auto& value = split.options[++i];
            if (named->check != nullptr)
                if (const auto problem = named->check (value); problem.isNotEmpty())
                    return juce::Result::fail (problem);
            step.parameters.set (named->key, value);
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
        if (const auto* operation = OperationRegistry::withRecipeWord (verb))
        {
            RecipeStep step;
            step.line = command.line;
            auto read = readStep (command.words, *operation, step);
            if (read.wasOk())
                recipe.steps.push_back (step);
            return read;
        }
        if (verb == "include" || verb == "exclude" || verb == "recursive")
            return readFilesLine (command.words, recipe);
        auto lines = OperationRegistry::recipeWords();
        lines.addArray ({ "include", "exclude", "recursive" });
        return juce::Result::fail ("'" + verb + "' is not a step: a line says " + OperationRegistry::listed (lines, "or"));
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
        problems.add ("the recipe has no step: no " + OperationRegistry::listed (OperationRegistry::recipeWords(), "or") + " line");
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

juce::Result Recipe::fromSettings (const BatchSettings& settings, Recipe& recipe)
{
    recipe = {};
    if (settings.operation == &RecipeOperation::declaration())
        recipe.steps = settings.steps;
    else if (settings.operation != nullptr && settings.operation->recipeWord.isNotEmpty())
        recipe.steps.push_back ({ settings.operation, settings.parameters, 0 });
    else
        return juce::Result::fail ("A restore is no recipe step: choose \"replace string\" or \"convert value\", or load a recipe.");

    if (const FilePattern pattern (settings.filePattern); ! pattern.isDefault())
        recipe.includes.add (pattern.getText());
    recipe.recursive = settings.recursive;
    return juce::Result::ok();
}

juce::Result Recipe::save (const juce::File& file) const
{
    if (! file.replaceWithText (toText(), false, false, "\n"))
        return juce::Result::fail ("The recipe could not be written to " + file.getFullPathName() + ".");
    return juce::Result::ok();
}
