#include "BatchPreview.h"

#include "DisplayName.h"
#include "FileNameText.h"
#include "FormulaEngine.h"
#include "PreviewText.h"
#include "XmlTextEncoding.h"

#include <filesystem>

namespace
{
    /** Puts the engine's variables back when the preview ends, by return or by exception. */
    class VariablesKeeper
    {
    public:
        explicit VariablesKeeper (FormulaEngine* engineToKeep)
            : engine (engineToKeep)
        {
            if (engine != nullptr)
                saved = engine->saveVariables();
        }

        ~VariablesKeeper()
        {
            if (engine != nullptr)
                engine->restoreVariables (saved);
        }

        VariablesKeeper (const VariablesKeeper&) = delete;
        VariablesKeeper& operator= (const VariablesKeeper&) = delete;

    private:
        FormulaEngine* engine;
        FormulaEngine::Variables saved;
    };

    bool isUtf16 (XmlTextEncoding::Kind kind)
    {
        return kind == XmlTextEncoding::Kind::utf16LittleEndian || kind == XmlTextEncoding::Kind::utf16BigEndian;
    }

    juce::String plural (int count, const char* one, const char* many)
    {
        return juce::String (count) + " " + (count == 1 ? one : many);
    }

}

BatchPreview::BatchPreview (BatchOperation& operationToPreview, Options optionsToUse)
    : operation (operationToPreview),
      options (optionsToUse),
      folder (operationToPreview.getFolder())
{
}

BatchPreview::Summary BatchPreview::run (const std::function<void (const FilePreview&)>& onFile)
{
    const VariablesKeeper keeper (operation.formulaEngineInUse());
    stoppedAt.clear();

    const auto plan = PlannedFile::plan (operation);
    Summary summary;

    BatchFileLoop::Handler handler;
    handler.listsFilesAfterStop = true;
    handler.fileDone = [&] (BatchFileLoop::Step& step) {
        if (step.kind == BatchFileLoop::Step::Kind::cancelled)
            return false;

        const auto preview = previewFile (step);
        switch (preview.verdict)
        {
            case FilePreview::Verdict::change: ++summary.wouldChange; break;
            case FilePreview::Verdict::noChange: ++summary.wouldStay; break;
            case FilePreview::Verdict::fail: ++summary.wouldFail; break;
        }
        if (operation.formulaEngineInUse() != nullptr)
            for (const auto& change : preview.changeList)
                summary.wholeNumbersGivenDecimals += PreviewText::givesWholeNumberDecimals (change) ? 1 : 0;
        if (preview.selectedValues >= 0)
        {
            summary.selectedValues = std::max (0, summary.selectedValues) + preview.selectedValues;
            summary.filesWithValues += preview.selectedValues > 0 ? 1 : 0;
        }
        if (onFile)
            onFile (preview);
        return true;
    };

    BatchFileLoop loop (operation, cancel, progress);
    summary.cancelled = loop.run (plan, handler) == BatchFileLoop::End::cancelled;
    return summary;
}

BatchPreview::FilePreview BatchPreview::previewFile (BatchFileLoop::Step& step)
{
    FilePreview preview;
    preview.file = step.planned.file;

    const auto fail = [&preview] (const juce::String& reason) {
        preview.verdict = FilePreview::Verdict::fail;
        preview.reason = reason;
        return preview;
    };

    using Kind = BatchFileLoop::Step::Kind;
    switch (step.kind)
    {
        case Kind::notReached:
            preview.reason = "the run stops at " + stoppedAt + " before it";
            return preview;
        case Kind::outside:
        case Kind::readFailed:
            return fail (step.reason);
        case Kind::alias:
            preview.reason = step.reason;
            return preview;
        case Kind::stopped:
            stoppedAt = DisplayName::of (step.planned.file);
            return fail (step.stop->reason + " (the run stops here; the files after it stay as they are)");
        case Kind::cancelled:
        case Kind::rewritten:
            break;
    }

    preview.gzip = step.gzip.has_value();
    const auto& rewrite = step.rewrite;
    if (rewrite.result.failed())
        return fail (rewrite.result.getErrorMessage());

    preview.remark = rewrite.remark.trim();
    preview.selectedValues = rewrite.selectedValues;
    if (rewrite.changes == 0)
        return preview;

    if (const auto writable = step.planned.checkWritable(); writable.failed())
        return fail (writable.getErrorMessage());

    preview.verdict = FilePreview::Verdict::change;
    preview.changes = rewrite.changes;
    preview.changeList = std::move (step.rewrite.changeList);
    describeChange (preview, step.original, rewrite.bytes);
    return preview;
}

void BatchPreview::describeChange (FilePreview& preview, std::string_view original, const std::string& bytes) const
{
    if (! options.diffs && ! options.changedLines)
        return;

    // A file that is new has no encoding of its own yet: its new bytes tell.
    const auto encoding = XmlTextEncoding::detect (original.empty() ? std::string_view (bytes) : original);
    preview.decodedUtf16 = isUtf16 (encoding.kind);

    if (options.diffs)
    {
        const auto relative = FileNameText::toBytes (preview.file.getRelativePathFrom (folder).replaceCharacter ('\\', '/'));
        std::error_code unknown;
        const bool existed = std::filesystem::exists (std::filesystem::path (FileNameText::toBytes (preview.file.getFullPathName())), unknown);
        const auto oldName = existed ? UnifiedDiff::headerName ("a/" + relative) : std::string ("/dev/null");
        const auto newName = UnifiedDiff::headerName ("b/" + relative);
        // Bytes as they are, so that patch can apply them; only UTF-16 is shown decoded.
        if (preview.decodedUtf16)
            preview.diff = UnifiedDiff::write (XmlTextEncoding::asUtf8 (original, encoding),
                                               XmlTextEncoding::asUtf8 (bytes, encoding), oldName, newName);
        else
            preview.diff = UnifiedDiff::write (original, bytes, oldName, newName);
    }

    if (options.changedLines)
        preview.changedLines = UnifiedDiff::changedLines (XmlTextEncoding::asUtf8 (original, encoding),
                                                          XmlTextEncoding::asUtf8 (bytes, encoding));
}

juce::String BatchPreview::fileLine (const FilePreview& preview)
{
    const auto path = DisplayName::of (preview.file);
    const juce::String gzip = preview.gzip ? " (gzip)" : "";
    const juce::String values = preview.selectedValues >= 0 ? " (" + plural (preview.selectedValues, "value", "values") + ")" : "";
    switch (preview.verdict)
    {
        case FilePreview::Verdict::change:
            return path + ": " + plural (preview.changes, "change", "changes") + values + gzip + (preview.remark.isEmpty() ? "" : " " + preview.remark);
        case FilePreview::Verdict::fail:
            return path + ": would fail: " + preview.reason;
        case FilePreview::Verdict::noChange:
            break;
    }
    return path + ": no change" + values + gzip + (preview.reason.isEmpty() ? "" : " (" + preview.reason + ")");
}

juce::String BatchPreview::summaryLine (const Summary& summary)
{
    return plural (summary.wouldChange, "file", "files") + " would change, "
         + juce::String (summary.wouldStay) + " would stay as they are, "
         + juce::String (summary.wouldFail) + " would fail"
         + (summary.selectedValues >= 0 ? "\n" + plural (summary.selectedValues, "value", "values") + " in "
                                              + plural (summary.filesWithValues, "file", "files")
                                        : juce::String());
}

juce::String BatchPreview::windowText (const std::vector<FilePreview>& previews, const Summary& summary, int maxChangedLines)
{
    PreviewText writer (maxChangedLines);
    juce::String text;
    for (const auto& preview : previews)
        text << writer.file (preview);
    return text + writer.end (summary);
}
