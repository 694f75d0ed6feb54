#include "BatchCommandLine.h"

#include "OperationRegistry.h"


namespace
{
    constexpr const char* fileOptions = "[--recursive] [--include GLOB] [--exclude GLOB] [--dry-run] [--diff]";
    constexpr const char* indent = "                       ";

    /** "  --regex                 WHAT is ...": the term, then its lines from column 26. */
    juce::String entry (const juce::String& term, const juce::StringArray& lines)
    {
        constexpr int column = 26;
        juce::String text = "  " + term;
        text << (text.length() <= column - 2 ? juce::String::repeatedString (" ", column - text.length()) : "\n" + juce::String::repeatedString (" ", column));
        return text + lines.joinIntoString ("\n" + juce::String::repeatedString (" ", column)) + "\n";
    }

    juce::String entriesOf (const OperationDeclaration& operation)
    {
        juce::StringArray words { operation.option };
        for (const auto* value : operation.valuesInOrder())
            words.add (value->valueName);
        auto text = entry (words.joinIntoString (" "), operation.help);
        for (const auto* named : operation.namedParameters())
            text << entry (named->option + (named->kind == ParameterDeclaration::Kind::flag ? "" : " " + named->valueName), named->help);
        return text;
    }
}

juce::String BatchCommandLine::usage()
{
    juce::String text;
    for (const auto* operation : OperationRegistry::commandLineOrder())
    {
        text << (text.isEmpty() ? "usage: " : "       ") << "quillmere-batch ";
        if (operation->listsFolder())
            text << fileOptions << "\n"
                 << indent << operation->synopsis() << " FOLDER\n";
        else
            text << "[--dry-run] [--diff] " << operation->synopsis() << "\n";
    }
    text << "       (each may add --report FILE, or --report - for standard output)\n"
            "       quillmere-batch --help | --version\n"
            "\n"
            "Edits every *.xml file in FOLDER in one pass, after backing them all up into\n"
            "FOLDER/QuillmereBackup.zip (or the first free QuillmereBackup(N).zip).\n"
            "\n";
    for (const auto* operation : OperationRegistry::commandLineOrder())
        if (operation->listsFolder())
            text << entriesOf (*operation);
    text << entry ("--report FILE", { "also write a JSON report to FILE (- for standard",
                                      "output, which then takes nothing else): the task,",
                                      "each file's status (changed, unchanged, failed,",
                                      "skipped) and reason, counts, and each change's",
                                      "line, column, old and new text and step; with",
                                      "--dry-run, what the run would do" });
    for (const auto* operation : OperationRegistry::commandLineOrder())
        if (! operation->listsFolder())
            text << entriesOf (*operation);
    return text
         + "  --recursive             also the files in all subfolders of FOLDER\n"
           "  --include GLOB          take the files whose names match GLOB instead of\n"
           "                          *.xml (letter case ignored; repeatable, and GLOB may\n"
           "                          be a list separated by ';'), e.g. --include '*.xiz'\n"
           "  --exclude GLOB          leave out the files whose names match GLOB\n"
           "                          (repeatable; a list separated by ';' too)\n"
           "  --dry-run               change nothing: print for each file how many changes\n"
           "                          it would get, or why it would fail, and a summary\n"
           "  --diff                  print a unified diff of every file that would change\n"
           "                          (a/ and b/ paths relative to FOLDER, ready for patch),\n"
           "                          then run, unless --dry-run is given too\n"
           "  -h, --help              print this help\n"
           "  --version               print the program's name and version\n"
           "\n"
           "Prints the task description, then the log as the run writes it, and ends\n"
           "with the backup's path. On a terminal, progress goes to standard error.\n"
           "\n"
           "Exit status: 0 every file was processed; 1 the run finished or stopped but\n"
           "some files failed; 2 nothing was changed (bad arguments, backup not written,\n"
           "run refused, formula invalid, nothing to do); 130 interrupted by Ctrl-C or\n"
           "SIGTERM (the file at hand is finished, the backup kept).\n"
           "With --dry-run: 0 some files would change; 1 some would fail; 2 as above;\n"
           "3 nothing would change (no file holds a match).\n";
}

namespace
{
    /** Every word that is an option: the tool's own and the operations'. */
    juce::StringArray allOptions()
    {
        juce::StringArray options { "--recursive", "--include", "--exclude", "--dry-run", "--diff", "--report", "--help", "-h", "--version" };
        for (const auto* operation : OperationRegistry::all())
        {
            options.add (operation->option);
            for (const auto* named : operation->namedParameters())
                options.addIfNotAlreadyThere (named->option);
        }
        return options;
    }

    juce::String chooseOne()
    {
        juce::StringArray choices;
        for (const auto* operation : OperationRegistry::commandLineOrder())
            choices.add (operation->option);
        return "choose one of " + OperationRegistry::listed (choices, "and") + ", once";
    }

    juce::String sayWhatToDo()
    {
        juce::StringArray calls;
        for (const auto* operation : OperationRegistry::commandLineOrder())
        {
            juce::StringArray words { operation->option };
            for (const auto* value : operation->valuesInOrder())
                words.add (value->valueName);
            calls.add (words.joinIntoString (" "));
        }
        return "say what to do: " + OperationRegistry::listed (calls, "or");
    }

    /** An operation's option given with another operation: where it belongs. */
    juce::String misplaced (const juce::String& option, const OperationDeclaration& chosen)
    {
        for (const auto* owner : OperationRegistry::all())
            if (owner->parameterWithOption (option) != nullptr)
            {
                // A recipe's steps carry their own options.
                const bool readsSteps = std::any_of (chosen.parameters.begin(), chosen.parameters.end(), [] (const auto& parameter) {
                    return parameter.kind == ParameterDeclaration::Kind::recipe;
                });
                if (readsSteps && owner->recipeWord.isNotEmpty())
                    return option + " goes on a recipe's " + owner->recipeWord + " lines";
                return option + " goes with " + owner->option + " only";
            }
        return "unknown option " + option;
    }

    juce::Result checkReport (const BatchCommandLine& parsed)
    {
        if (parsed.report == "-")
            return parsed.diff ? juce::Result::fail ("--report - and --diff would both write to standard output: give --report a FILE")
                               : juce::Result::ok();
        const auto target = juce::File::getCurrentWorkingDirectory().getChildFile (parsed.report);
        if (target.isDirectory())
            return juce::Result::fail ("--report needs a FILE, not the folder " + parsed.report);
        if (! target.getParentDirectory().isDirectory())
            return juce::Result::fail ("no such folder for the report: " + target.getParentDirectory().getFullPathName());
        return juce::Result::ok();
    }

    /** Takes the values that follow an operation's option. */
    juce::Result takeValues (const juce::StringArray& arguments, int& i, const OperationDeclaration& operation,
                             const juce::StringArray& options, OperationParameters& parameters)
    {
        const auto inOrder = operation.valuesInOrder();
        const auto& argument = arguments[i];
        if (inOrder.size() == 1)
        {
            if (i + 1 >= arguments.size() || options.contains (arguments[i + 1]))
                return juce::Result::fail (argument + " needs " + inOrder[0]->neededAs);
            parameters.set (inOrder[0]->key, arguments[++i]);
            return juce::Result::ok();
        }

        const auto count = juce::String (inOrder.size() == 2 ? "two" : juce::String ((int) inOrder.size()));
        if (i + (int) inOrder.size() >= arguments.size())
            return juce::Result::fail (argument + " needs " + count + " values");
        // A value that is one of the options is far more likely a slip than a
        // text to replace: taking it as a value would turn a dry run into a real one.
        for (size_t k = 1; k <= inOrder.size(); ++k)
            if (options.contains (arguments[i + (int) k]))
                return juce::Result::fail (argument + " needs " + count + " values, but " + arguments[i + (int) k] + " is an option");
        for (const auto* value : inOrder)
            parameters.set (value->key, arguments[++i]);
        return juce::Result::ok();
    }

    /** An archive must exist and a recipe must read; both are taken from the working folder. */
    juce::Result resolveFiles (BatchCommandLine& parsed)
    {
        for (const auto& parameter : parsed.operation->parameters)
        {
            const auto given = parsed.parameters.text (parameter.key);
            const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (given);
            if (parameter.kind == ParameterDeclaration::Kind::recipe)
            {
                if (auto read = Recipe::load (file, parsed.recipe); read.failed())
                    return juce::Result::fail ("the recipe " + given + " cannot be used:\n" + read.getErrorMessage());
                parsed.parameters.setFile (parameter.key, file);
            }
            else if (parameter.kind == ParameterDeclaration::Kind::archive)
            {
                if (! file.existsAsFile())
                    return juce::Result::fail ("no such archive: " + given);
                parsed.parameters.setFile (parameter.key, file);
            }
        }
        return juce::Result::ok();
    }
}

juce::Result BatchCommandLine::parse (const juce::StringArray& arguments, BatchCommandLine& parsed)
{
    parsed = {};
    const auto options = allOptions();
    juce::StringArray positional;
    juce::StringArray operationOptions; // the operations' own options given, in order
    OperationParameters given;

    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];

        if (argument == "--help" || argument == "-h")
        {
            parsed.mode = Mode::help;
            return juce::Result::ok();
        }

        if (argument == "--version")
        {
            parsed.mode = Mode::version;
            return juce::Result::ok();
        }

        if (argument == "--recursive")
            parsed.recursive = true;
        else if (argument == "--dry-run")
            parsed.dryRun = true;
        else if (argument == "--diff")
            parsed.diff = true;
        else if (argument == "--include" || argument == "--exclude")
        {
            if (i + 1 >= arguments.size() || options.contains (arguments[i + 1]))
                return juce::Result::fail (argument + " needs a GLOB");
            (argument == "--include" ? parsed.includes : parsed.excludes).add (arguments[++i]);
        }
        else if (argument == "--report")
        {
            if (i + 1 >= arguments.size() || options.contains (arguments[i + 1]))
                return juce::Result::fail ("--report needs a FILE, or - for standard output");
            parsed.report = arguments[++i];
        }
        else if (const auto* operation = OperationRegistry::withOption (argument))
        {
            if (parsed.operation != nullptr)
                return juce::Result::fail (chooseOne());
            if (auto taken = takeValues (arguments, i, *operation, options, given); taken.failed())
                return taken;
            parsed.operation = operation;
        }
        else if (options.contains (argument))
        {
            // An option of some operation's parameter: its owner is known once the operation is.
            const ParameterDeclaration* named = nullptr;
            for (const auto* owner : OperationRegistry::all())
                if (named == nullptr)
                    named = owner->parameterWithOption (argument);
            jassert (named != nullptr);
            operationOptions.add (argument);
            if (named->kind == ParameterDeclaration::Kind::flag)
                given.setFlag (named->key, true);
            else
            {
                if (i + 1 >= arguments.size() || options.contains (arguments[i + 1]))
                    return juce::Result::fail (argument + " needs a " + named->valueName);
                const auto& value = arguments[++i];
                if (named->check != nullptr)
                    if (const auto problem = named->check (value); problem.isNotEmpty())
                        return juce::Result::fail (problem);
                given.set (named->key, value);
            }
        }
        else if (argument.startsWith ("--"))
            return juce::Result::fail ("unknown option " + argument);
        else
            positional.add (argument);
    }

    if (parsed.operation == nullptr)
        return juce::Result::fail (sayWhatToDo());

    for (const auto& option : operationOptions)
        if (parsed.operation->parameterWithOption (option) == nullptr)
            return juce::Result::fail (misplaced (option, *parsed.operation));

    parsed.parameters = parsed.operation->defaults();
    for (const auto& parameter : parsed.operation->parameters)
        if (given.has (parameter.key))
            parsed.parameters.set (parameter.key, given.text (parameter.key));

    if (parsed.report.isNotEmpty())
        if (auto checked = checkReport (parsed); checked.failed())
            return checked;

    if (! parsed.operation->listsFolder() && ! positional.isEmpty())
        return juce::Result::fail (parsed.operation->option + " takes no FOLDER: " + parsed.operation->folderRefusal);

    if (auto resolved = resolveFiles (parsed); resolved.failed())
        return resolved;

    if (! parsed.operation->listsFolder())
        return juce::Result::ok();

    if (positional.size() != 1)
        return juce::Result::fail (positional.isEmpty() ? "name the FOLDER to work on"
                                                        : "one FOLDER only, not " + positional.joinIntoString (" "));

    parsed.folder = juce::File::getCurrentWorkingDirectory().getChildFile (positional[0]);
    if (! parsed.folder.isDirectory())
        return juce::Result::fail ("no such folder: " + positional[0]);

    return juce::Result::ok();
}
