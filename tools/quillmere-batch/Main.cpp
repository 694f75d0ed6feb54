// quillmere-batch: the batch tool's run without a window, for scripts and large folders.

#include "BatchAlerts.h"
#include "BatchCommandLine.h"
#include "BatchRun.h"
#include "BatchOperationFactory.h"
#include "ConsolePreview.h"
#include "ConsoleReporter.h"
#include "ConsoleStreams.h"
#include "DisplayName.h"
#include "FileManager.h"
#include "FormulaEngine.h"
#include "ProcessFacts.h"
#include "ProgramArguments.h"
#include "RunReport.h"
#include "TaskDescription.h"
#include "UnicodeCharacterClasses.h"

#include <QuillmereVersion.h>

#include <atomic>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace
{
    enum ExitStatus
    {
        allProcessed = 0,
        someFailed = 1,
        nothingChanged = 2,
        nothingWouldChange = 3,
        interrupted = 130
    };

    /** Set by SIGINT or SIGTERM: the run finishes the file at hand and stops. */
    std::atomic<bool> cancelRequested { false };
    static_assert (std::atomic<bool>::is_always_lock_free, "set from a signal handler");

    void requestCancel()
    {
        cancelRequested = true;
    }

    void cancelOnInterrupt()
    {
        ConsoleStreams::onInterrupt (requestCancel);
    }

    /** The folder's affected files, listed exactly as the window lists them. */
    struct FolderListing : FileManager
    {
        FolderListing (const juce::File& folder, bool recursive, const juce::String& pattern)
        {
            currentDirectory = folder.getFullPathName();
            wildcardPattern = pattern;
            searchRecursively = recursive;
            rescan();
        }
    };

    BatchSettings settingsFor (const BatchCommandLine& call, ConsoleReporter& console)
    {
        BatchSettings settings;
        settings.operation = call.operation;
        settings.parameters = call.parameters;
        settings.steps = call.recipe.steps;
        // A recipe's own file lines add to the options, as repeated options add to each other.
        settings.recursive = call.recursive || call.recipe.recursive;
        auto includes = call.includes, excludes = call.excludes;
        includes.addArray (call.recipe.includes);
        excludes.addArray (call.recipe.excludes);
        settings.filePattern = FilePattern::combine (includes, excludes);
        settings.directoryPath = settings.workingFolder().getFullPathName();

        // A restore's files are the archive's entries, not the folder's listing.
        if (settings.listsFolder())
        {
            console.phaseProgress (BatchReporter::Phase::listing, 0, 0);
            const FolderListing listing (call.folder, settings.recursive, settings.filePattern);
            settings.directoryPath = listing.currentDirectory;
            for (const auto* file : listing.files)
                settings.files.add (*file);
            // A folder the listing could not enter is said, never passed over in silence.
            for (const auto& line : listing.unlisted)
                std::fprintf (stderr, "quillmere-batch: %s\n", line.toRawUTF8());
        }
        return settings;
    }

    int exitStatusFor (const BatchOutcome& outcome)
    {
        if (outcome.status == BatchOutcome::Status::cancelled)
            return interrupted;
        if (outcome.changedNothing())
            return nothingChanged;
        return outcome.filesFailed > 0 || outcome.status == BatchOutcome::Status::aborted ? someFailed : allProcessed;
    }

    int dryRunStatusFor (const BatchPreview::Summary& summary)
    {
        if (summary.cancelled)
            return interrupted;
        if (summary.wouldFail > 0)
            return someFailed;
        return summary.wouldChange > 0 ? allProcessed : nothingWouldChange;
    }

    /** Where --report writes: a file, or standard output, which then carries
        the report alone while everything else goes to standard error. */
    class ReportTarget
    {
    public:
        explicit ReportTarget (const juce::String& given)
            : path (given)
        {
            if (path != "-")
                return;
            output = ConsoleStreams::setStandardOutputAside();
        }

        bool isWanted() const { return path.isNotEmpty(); }

        /** Writes the report; a report that cannot be written turns a
            status that says all went well into 1, after a line saying why. */
        int write (const RunReport& report, int status) const
        {
            if (! isWanted())
                return status;
            const auto written = output >= 0 ? writeAll (report.text())
                                             : report.writeTo (juce::File::getCurrentWorkingDirectory().getChildFile (path));
            if (written.wasOk())
                return status;
            std::fprintf (stderr, "quillmere-batch: %s\n", written.getErrorMessage().toRawUTF8());
            return status == allProcessed || status == nothingWouldChange ? someFailed : status;
        }

    private:
        juce::Result writeAll (const std::string& text) const
        {
            const auto written = ConsoleStreams::writeAll (output, text);
            if (written.failed())
                return juce::Result::fail ("cannot write the report to standard output (" + written.getErrorMessage() + ")");
            return written;
        }

        juce::String path;
        int output = -1;
    };

    void printSummary (const BatchOutcome& outcome, int filesListed)
    {
        if (outcome.filesFailed > 0)
            std::fprintf (stderr, "quillmere-batch: %d of %d files failed and stayed unchanged (see the log above)\n",
                          outcome.filesFailed, filesListed);
        if (! outcome.changedNothing() && outcome.backupFile != juce::File())
            std::printf ("backup: %s\n", DisplayName::of (outcome.backupFile).toRawUTF8());
    }
}

int main (int argc, char* argv[])
{
    enableUnicodeCharacterClasses();

    // A reader that goes away (| head) must not kill the run half way through
    // its files: the output is lost, the run still finishes and reports.
    ConsoleStreams::ignoreBrokenPipe();
    // A diff or a report on standard output must be the bytes Linux gives.
    ConsoleStreams::passBytesUnchanged();

    // Before any thread starts.
    ProcessFacts::nameTimeZone();

    const auto arguments = ProgramArguments::of (argc, argv);

    BatchCommandLine call;
    if (const auto parsed = BatchCommandLine::parse (arguments, call); parsed.failed())
    {
        std::fprintf (stderr, "quillmere-batch: %s\n\n%s", parsed.getErrorMessage().toRawUTF8(),
                      BatchCommandLine::usage().toRawUTF8());
        return nothingChanged;
    }

    if (call.mode == BatchCommandLine::Mode::help)
    {
        std::fputs (BatchCommandLine::usage().toRawUTF8(), stdout);
        return allProcessed;
    }

    if (call.mode == BatchCommandLine::Mode::version)
    {
        std::fputs ("quillmere-batch " QUILLMERE_VERSION "\n", stdout);
        return allProcessed;
    }

    const ReportTarget reportTarget (call.report);
    ConsoleReporter console;
    FormulaEngine formulaEngine;
    const auto settings = settingsFor (call, console);
    const auto operation = BatchOperationFactory::create (settings, &formulaEngine);
    const auto description = buildTaskDescription (settings, operation.get());
    std::printf ("%s\n", description.toRawUTF8());

    std::optional<RunReport> report;
    if (reportTarget.isWanted() && operation != nullptr)
    {
        report.emplace (settings, description, call.dryRun);
        operation->setRecordsChanges (true);
    }

    cancelOnInterrupt();

    if (call.dryRun || call.diff)
    {
        // A preview answers as the real run would: what that one refuses, this one does too.
        const auto refusal = BatchOperation::prepareForRun (operation.get());
        if (refusal.isRefused())
        {
            console.showAlert (AlertPresenter::Icon::warning, refusal.title, refusal.message);
            if (report)
                report->refuse (refusal.title, refusal.message);
            return report ? reportTarget.write (*report, nothingChanged) : nothingChanged;
        }

        ConsolePreview preview (*operation, { call.dryRun, call.diff });
        preview.setCancelFlag (cancelRequested);
        // Only a dry run reports its preview; otherwise the run after it is reported.
        if (report && call.dryRun)
            preview.onFile = [&report] (const BatchPreview::FilePreview& file) { report->add (file); };
        const auto summary = preview.print();
        if (call.dryRun || summary.cancelled)
        {
            if (! report)
                return dryRunStatusFor (summary);
            report->finish (summary);
            return reportTarget.write (*report, dryRunStatusFor (summary));
        }
    }

    if (report)
        console.onFileFinished = [&report] (const FileOutcome& file) { report->add (file); };
    BatchRun run (*operation, console);
    run.setCancelFlag (cancelRequested);
    const auto outcome = run.run();
    console.endProgress();
    if (outcome.status != BatchOutcome::Status::completed)
        BatchAlerts::show (console, outcome);

    printSummary (outcome, operation->affectedFiles().size());
    if (! report)
        return exitStatusFor (outcome);
    report->finish (outcome);
    return reportTarget.write (*report, exitStatusFor (outcome));
}
