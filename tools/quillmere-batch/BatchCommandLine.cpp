#include "BatchCommandLine.h"

#include "NumberFormat.h"


juce::String BatchCommandLine::usage()
{
    return "usage: quillmere-batch [--recursive] [--include GLOB] [--exclude GLOB] [--dry-run] [--diff]\n"
           "                       [--regex] --replace WHAT WITH FOLDER\n"
           "       quillmere-batch [--recursive] [--include GLOB] [--exclude GLOB] [--dry-run] [--diff]\n"
           "                       [--number-format FORMAT] --convert ATTRIBUTE FORMULA FOLDER\n"
           "       quillmere-batch [--recursive] [--include GLOB] [--exclude GLOB] [--dry-run] [--diff]\n"
           "                       --recipe FILE FOLDER\n"
           "       quillmere-batch [--dry-run] [--diff] --restore ARCHIVE\n"
           "       (each may add --report FILE, or --report - for standard output)\n"
           "       quillmere-batch --help | --version\n"
           "\n"
           "Edits every *.xml file in FOLDER in one pass, after backing them all up into\n"
           "FOLDER/QuillmereBackup.zip (or the first free QuillmereBackup(N).zip).\n"
           "\n"
           "  --replace WHAT WITH     replace every WHAT by WITH in the whole text of each\n"
           "                          file (case-sensitive, left to right, no overlaps)\n"
           "  --regex                 WHAT is a regular expression (PCRE2; ^ and $ at\n"
           "                          each line) and WITH may hold $1..$99, ${name}, $0,\n"
           "                          $$ and ${= FORMULA } on groups read as numbers _1,\n"
           "                          _2... or by name, e.g. --regex --replace\n"
           "                          'id=\"([a-z]+)-(\\d+)\"' 'id=\"$1_$2\"' or\n"
           "                          --regex --replace 'gain=\"([-.0-9]+)dB\"'\n"
           "                          'gain=\"${= _1 - 6 }dB\"'\n"
           "  --convert ATTRIBUTE FORMULA\n"
           "                          give every attribute named ATTRIBUTE (letter case\n"
           "                          ignored) the value of FORMULA, with x its old value,\n"
           "                          e.g. --convert gain 'y = x * 2;'. ATTRIBUTE may be a\n"
           "                          path holding '/', '[', '@' or '(', e.g.\n"
           "                          \"//par[@name='volume']/@value\" or '//volume/text()'\n"
           "  --number-format FORMAT  how converted numbers are written: design (the\n"
           "                          default, %.9g), keep (like the old value), or\n"
           "                          %.Nf, %.Ng, %.Ne with N from 0 to 17\n"
           "  --recipe FILE           apply the steps of a recipe file to each file in one\n"
           "                          pass, with one backup: one step a line, in this\n"
           "                          tool's words and quoted as the shell quotes, e.g.\n"
           "                            replace cat dog\n"
           "                            replace --regex 'id=\"(\\d+)\"' 'id=\"n$1\"'\n"
           "                            convert --number-format keep gain 'y = x * 2;'\n"
           "                          and '#' comments; include GLOB, exclude GLOB and\n"
           "                          recursive lines choose files as the options do.\n"
           "                          Consecutive replace lines act in one scan: at each\n"
           "                          place the first that matches wins, and replaced\n"
           "                          text is not scanned again (so a swap works)\n"
           "  --report FILE           also write a JSON report to FILE (- for standard\n"
           "                          output, which then takes nothing else): the task,\n"
           "                          each file's status (changed, unchanged, failed,\n"
           "                          skipped) and reason, counts, and each change's\n"
           "                          line, column, old and new text and step; with\n"
           "                          --dry-run, what the run would do\n"
           "  --restore ARCHIVE       write every file of the backup ARCHIVE back to its\n"
           "                          place in the folder that holds ARCHIVE, after\n"
           "                          backing up the files it replaces\n"
           "  --recursive             also the files in all subfolders of FOLDER\n"
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
    const juce::StringArray options { "--recursive", "--regex", "--include", "--exclude", "--dry-run", "--diff", "--number-format", "--replace", "--convert", "--recipe", "--report", "--restore", "--help", "-h", "--version" };

    constexpr const char* chooseOne = "choose one of --replace, --convert, --recipe and --restore, once";

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
}

juce::Result BatchCommandLine::parse (const juce::StringArray& arguments, BatchCommandLine& parsed)
{
    parsed = {};
    juce::StringArray positional;

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
        else if (argument == "--regex")
            parsed.regex = true;
        else if (argument == "--include" || argument == "--exclude")
        {
            if (i + 1 >= arguments.size() || options.contains (arguments[i + 1]))
                return juce::Result::fail (argument + " needs a GLOB");
            (argument == "--include" ? parsed.includes : parsed.excludes).add (arguments[++i]);
        }
        else if (argument == "--number-format")
        {
            if (i + 1 >= arguments.size() || options.contains (arguments[i + 1]))
                return juce::Result::fail ("--number-format needs a FORMAT");
            parsed.numberFormat = arguments[++i];
            if (! NumberFormat::parse (parsed.numberFormat.toStdString()))
                return juce::Result::fail ("--number-format takes " + juce::String (NumberFormat::choices) + ", not " + parsed.numberFormat);
        }
        else if (argument == "--report")
        {
            if (i + 1 >= arguments.size() || options.contains (arguments[i + 1]))
                return juce::Result::fail ("--report needs a FILE, or - for standard output");
            parsed.report = arguments[++i];
        }
        else if (argument == "--recipe")
        {
            if (parsed.operation.has_value())
                return juce::Result::fail (chooseOne);
            if (i + 1 >= arguments.size() || options.contains (arguments[i + 1]))
                return juce::Result::fail ("--recipe needs the recipe FILE");
            parsed.operation = OperationKind::recipe;
            parsed.first = arguments[++i];
        }
        else if (argument == "--restore")
        {
            if (parsed.operation.has_value())
                return juce::Result::fail (chooseOne);
            if (i + 1 >= arguments.size() || options.contains (arguments[i + 1]))
                return juce::Result::fail ("--restore needs the ARCHIVE to restore from");
            parsed.operation = OperationKind::restore;
            parsed.first = arguments[++i];
        }
        else if (argument == "--replace" || argument == "--convert")
        {
            if (parsed.operation.has_value())
                return juce::Result::fail (chooseOne);
            if (i + 2 >= arguments.size())
                return juce::Result::fail (argument + " needs two values");
            // A value that is one of the options is far more likely a slip than a
            // text to replace: taking it as a value would turn a dry run into a real one.
            for (const auto& value : { arguments[i + 1], arguments[i + 2] })
                if (options.contains (value))
                    return juce::Result::fail (argument + " needs two values, but " + value + " is an option");
            parsed.operation = argument == "--replace" ? OperationKind::replace : OperationKind::convert;
            parsed.first = arguments[++i];
            parsed.second = arguments[++i];
        }
        else if (argument.startsWith ("--"))
            return juce::Result::fail ("unknown option " + argument);
        else
            positional.add (argument);
    }

    if (! parsed.operation.has_value())
        return juce::Result::fail ("say what to do: --replace WHAT WITH, --convert ATTRIBUTE FORMULA, --recipe FILE or --restore ARCHIVE");

    if (parsed.regex && parsed.operation != OperationKind::replace)
        return juce::Result::fail (parsed.operation == OperationKind::recipe ? "--regex goes on a recipe's replace lines"
                                                                             : "--regex goes with --replace only");
    if (parsed.operation == OperationKind::recipe && arguments.contains ("--number-format"))
        return juce::Result::fail ("--number-format goes on a recipe's convert lines");

    if (parsed.report.isNotEmpty())
        if (auto checked = checkReport (parsed); checked.failed())
            return checked;

    if (parsed.operation == OperationKind::recipe)
    {
        const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (parsed.first);
        if (auto read = Recipe::load (file, parsed.recipe); read.failed())
            return juce::Result::fail ("the recipe " + parsed.first + " cannot be used:\n" + read.getErrorMessage());
    }

    if (parsed.operation == OperationKind::restore)
    {
        if (! positional.isEmpty())
            return juce::Result::fail ("--restore takes no FOLDER: it restores into the folder that holds ARCHIVE");
        parsed.archive = juce::File::getCurrentWorkingDirectory().getChildFile (parsed.first);
        if (! parsed.archive.existsAsFile())
            return juce::Result::fail ("no such archive: " + parsed.first);
        return juce::Result::ok();
    }

    if (positional.size() != 1)
        return juce::Result::fail (positional.isEmpty() ? "name the FOLDER to work on"
                                                        : "one FOLDER only, not " + positional.joinIntoString (" "));

    parsed.folder = juce::File::getCurrentWorkingDirectory().getChildFile (positional[0]);
    if (! parsed.folder.isDirectory())
        return juce::Result::fail ("no such folder: " + positional[0]);

    return juce::Result::ok();
}
