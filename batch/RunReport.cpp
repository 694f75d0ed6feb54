#include "RunReport.h"

#include "FileNameText.h"
#include "BatchSettings.h"

#include <nlohmann/json.hpp>

using Json = nlohmann::ordered_json;

namespace
{
    std::string utf8 (const juce::String& text)
    {
        return text.toStdString();
    }

    const char* statusName (FileOutcome::Status status)
    {
        switch (status)
        {
            case FileOutcome::Status::changed: return "changed";
            case FileOutcome::Status::unchanged: return "unchanged";
            case FileOutcome::Status::failed: return "failed";
            case FileOutcome::Status::skipped: return "skipped";
        }
        return "failed";
    }

    const char* endName (BatchOutcome::Status status)
    {
        switch (status)
        {
            case BatchOutcome::Status::completed: return "finished";
            case BatchOutcome::Status::refused: return "refused";
            case BatchOutcome::Status::backupFailed: return "backup failed";
            case BatchOutcome::Status::aborted: return "stopped";
            case BatchOutcome::Status::cancelled: return "cancelled";
        }
        return "stopped";
    }

    /** The steps of the run as recipe lines: a recipe's own, or the one operation's. */
    Json stepsOf (const BatchSettings& settings)
    {
        auto steps = settings.steps;
        if (settings.operation != nullptr && settings.operation->recipeWord.isNotEmpty())
            steps.push_back ({ settings.operation, settings.parameters, 0 });

        auto list = Json::array();
        for (size_t i = 0; i < steps.size(); ++i)
            list.push_back ({ { "step", i + 1 }, { "text", utf8 (steps[i].text()) } });
        return list;
    }
}

struct RunReport::Document
{
    Json root;
    Json files = Json::array();
    int changed = 0, unchanged = 0, failed = 0, skipped = 0, changes = 0;
};

RunReport::RunReport (const BatchSettings& settings, const juce::String& task, bool dryRun)
    : document (std::make_unique<Document>())
{
    auto& root = document->root;
    root["report"] = "quillmere-batch";
    root["version"] = 1;
    root["dryRun"] = dryRun;
    root["operation"] = settings.operation != nullptr ? utf8 (settings.operation->label) : "";
    root["folder"] = utf8 (settings.workingFolder().getFullPathName());
    root["task"] = utf8 (task);
    root["steps"] = stepsOf (settings);
    root["end"] = "finished";
    root["message"] = "";
    root["backup"] = nullptr;
}

RunReport::~RunReport() = default;

void RunReport::add (const FileOutcome& file)
{
    auto& d = *document;
    switch (file.status)
    {
        case FileOutcome::Status::changed: ++d.changed; break;
        case FileOutcome::Status::unchanged: ++d.unchanged; break;
        case FileOutcome::Status::failed: ++d.failed; break;
        case FileOutcome::Status::skipped: ++d.skipped; break;
    }
    d.changes += file.changes;

    auto changes = Json::array();
    for (const auto& change : file.changeList)
        changes.push_back ({ { "line", change.line }, { "column", change.column }, { "old", change.before }, { "new", change.after }, { "step", change.step } });

    d.files.push_back ({ { "path", FileNameText::toBytes (file.file.getFullPathName()) },
                         { "status", statusName (file.status) },
                         { "reason", utf8 (file.reason) },
                         { "changeCount", file.changes },
                         { "gzip", file.gzip },
                         { "changes", std::move (changes) } });
}

FileOutcome RunReport::outcomeOf (const BatchPreview::FilePreview& preview)
{
    FileOutcome file;
    file.file = preview.file;
    file.reason = preview.reason;
    file.gzip = preview.gzip;
    switch (preview.verdict)
    {
        case BatchPreview::FilePreview::Verdict::change:
            file.status = FileOutcome::Status::changed;
            file.changes = preview.changes;
            file.changeList = preview.changeList;
            break;
        case BatchPreview::FilePreview::Verdict::fail:
            file.status = FileOutcome::Status::failed;
            break;
        case BatchPreview::FilePreview::Verdict::noChange:
            // A file with nothing to change has no reason; one the run would not work on has one.
            file.status = preview.reason.isEmpty() ? FileOutcome::Status::unchanged : FileOutcome::Status::skipped;
            break;
    }
    return file;
}

void RunReport::add (const BatchPreview::FilePreview& preview)
{
    add (outcomeOf (preview));
}

void RunReport::finish (const BatchOutcome& outcome)
{
    auto& root = document->root;
    root["end"] = endName (outcome.status);
    // The title says what kind of end it was ("Invalid Formula"), the message the rest.
    if (outcome.status != BatchOutcome::Status::completed)
        root["message"] = utf8 (outcome.title.isEmpty() ? outcome.message : outcome.title + ": " + outcome.message);
    if (outcome.backupFile != juce::File())
        root["backup"] = utf8 (outcome.backupFile.getFullPathName());
}

void RunReport::finish (const BatchPreview::Summary& summary)
{
    document->root["end"] = summary.cancelled ? "cancelled" : "finished";
}

void RunReport::refuse (const juce::String& title, const juce::String& message)
{
    document->root["end"] = "refused";
    document->root["message"] = utf8 (title + ": " + message);
}

std::string RunReport::text() const
{
    const auto& d = *document;
    auto root = d.root;
    root["counts"] = { { "files", d.files.size() }, { "changed", d.changed }, { "unchanged", d.unchanged }, { "failed", d.failed }, { "skipped", d.skipped }, { "changes", d.changes } };
    root["files"] = d.files;
    // Bytes that are not UTF-8 (a file name, a Latin-1 text shown as is) become U+FFFD: the report stays JSON.
    return root.dump (2, ' ', false, Json::error_handler_t::replace) + "\n";
}

juce::Result RunReport::writeTo (const juce::File& file) const
{
    const auto bytes = text();
    juce::TemporaryFile temporary (file);
    {
        juce::FileOutputStream out (temporary.getFile());
        if (! out.openedOk() || ! out.write (bytes.data(), bytes.size()))
            return juce::Result::fail ("cannot write the report " + file.getFullPathName() + " (" + out.getStatus().getErrorMessage() + ")");
        out.flush();
        if (out.getStatus().failed())
            return juce::Result::fail ("cannot write the report " + file.getFullPathName() + " (" + out.getStatus().getErrorMessage() + ")");
    }
    if (! temporary.overwriteTargetFileWithTemporary())
        return juce::Result::fail ("cannot write the report " + file.getFullPathName());
    return juce::Result::ok();
}
