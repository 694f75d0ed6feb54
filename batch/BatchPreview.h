#pragma once

#include "BatchFileLoop.h"
#include "BatchOperation.h"
#include "PlannedFile.h"
#include "UnifiedDiff.h"

#include <atomic>
#include <functional>
#include <vector>

/**
    What a run of an operation would do to each file, computed the way the
    run computes it and written nowhere: no backup, no file, no log. The
    formula engine's variables are put back when the preview ends, however it
    ends, so a counter formula previews the numbers the run will give.

    Plain code without widgets: it may run on any thread, as long as no other
    thread uses the operation or its formula engine meanwhile.
*/
class BatchPreview
{
public:
    /** What each file's preview carries beyond its verdict. */
    struct Options
    {
        bool diffs = false;        // a unified diff, a/ and b/ paths relative to the folder
        bool changedLines = false; // the changed lines, as before-and-after pairs
    };

    struct FilePreview
    {
        enum class Verdict
        {
            change,
            noChange,
            fail
        };

        juce::File file;
        Verdict verdict = Verdict::noChange;
        int changes = 0;
        int selectedValues = -1;   // values a path selected in the file; -1: not counted
        juce::String reason;       // why it would fail, or why it is not looked at
        juce::String remark;       // the run's remark on the file, if it has one
        bool decodedUtf16 = false; // the diff and the lines show the UTF-16 text as UTF-8
        bool gzip = false;         // the file is gzip data: the text it holds is compared
        std::string diff;
        std::vector<UnifiedDiff::ChangedLine> changedLines;
        std::vector<TextChange> changeList; // when the operation records its changes
    };

    struct Summary
    {
        int wouldChange = 0, wouldStay = 0, wouldFail = 0;
        int selectedValues = -1, filesWithValues = 0; // counted when a path selects the values
        int wholeNumbersGivenDecimals = 0;            // by a formula: "99" -> "89.1"
        bool cancelled = false;
    };

    /** operation must have passed BatchOperation::prepareForRun. */
    BatchPreview (BatchOperation& operationToPreview, Options optionsToUse);
    explicit BatchPreview (BatchOperation& operationToPreview)
        : BatchPreview (operationToPreview, Options()) {}

    /** While set, the preview stops before the next file. */
    void setCancelFlag (const std::atomic<bool>& flag) { cancel = &flag; }

    /** Called after each listed file, as a run reports its progress. */
    void setProgress (std::function<void (int filesDone, int filesTotal)> callback) { progress = std::move (callback); }

    /** Previews the files in the run's order, handing each one to onFile.
        Files that the run would skip (gone since the scan) are left out. */
    Summary run (const std::function<void (const FilePreview&)>& onFile);

    /** "PATH: 2 changes", "PATH: no change" or "PATH: would fail: REASON";
        with a path, the values it selected follow ("PATH: 2 changes (37 values)"). */
    static juce::String fileLine (const FilePreview& preview);

    /** "2 files would change, 1 would stay as they are, 0 would fail"; with
        a path, a second line counts the values ("37 values in 12 files"). */
    static juce::String summaryLine (const Summary& summary);

    /** The preview as the window's log shows it, all at once: what
        PreviewText writes for each file and at the end. */
    static juce::String windowText (const std::vector<FilePreview>& previews, const Summary& summary,
                                    int maxChangedLines = 1000);

private:
    FilePreview previewFile (BatchFileLoop::Step& step);
    void describeChange (FilePreview& preview, std::string_view original, const std::string& bytes) const;

    BatchOperation& operation;
    Options options;
    const std::atomic<bool>* cancel = nullptr;
    std::function<void (int, int)> progress;
    juce::File folder;
    juce::String stoppedAt; // the file at which the run would stop, once known
};
