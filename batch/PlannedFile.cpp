#include "PlannedFile.h"

#include "BatchOperation.h"
#include "DisplayName.h"
#include "ExclusiveFile.h"
#include "RealPath.h"

#include <filesystem>
#include <map>
#include <set>
#include <utility>

namespace fs = std::filesystem;

namespace
{
    juce::String shownPath (const fs::path& path)
    {
        return DisplayName::of (juce::String (path.string()));
    }
}

const FileState* PlannedFile::expectedState() const
{
    // Only a regular file or nothing at all is an expectation to hold the
    // name to; whatever else was there is reported as it is found.
    return planned.kind == FileState::Kind::regular || planned.kind == FileState::Kind::missing ? &planned : nullptr;
}

FileState PlannedFile::currentState() const
{
    return folder != nullptr ? folder->stateOf (relative) : FileState();
}

bool PlannedFile::isSkipped (bool createsMissingFiles) const
{
    if (createsMissingFiles)
        return false;
    const auto now = currentState().kind;
    return now == FileState::Kind::missing || now == FileState::Kind::folder;
}

std::unique_ptr<RegularFileInputStream> PlannedFile::openForReading() const
{
    if (folder == nullptr)
        return std::make_unique<RegularFileInputStream> (juce::Result::fail ("cannot open the folder"), false);
    return folder->openForReading (relative, expectedState());
}

bool PlannedFile::readBackedUpCopy (std::string& bytes, FileState& found) const
{
    if (! backedUp.has_value() || backupCopies == nullptr)
        return false;
    found = currentState();
    FileState asBackedUp;
    return found.isUnchangedFrom (backedUp->state) && readCopyAsBackedUp (bytes, asBackedUp);
}

bool PlannedFile::readCopyAsBackedUp (std::string& bytes, FileState& state) const
{
    if (! backedUp.has_value() || backupCopies == nullptr)
        return false;
    if (backupCopies->read (*backedUp, bytes).failed())
    {
        bytes.clear();
        return false;
    }
    state = backedUp->state;
    return true;
}

juce::Result PlannedFile::checkWritable() const
{
    if (folder == nullptr)
        return juce::Result::fail ("cannot open the folder");
    return folder->checkWritable (relative, expectedState());
}

juce::Result PlannedFile::replaceContents (FileRewrite& rewrite, const FileState* readAs, bool* nameChanged) const
{
    if (folder == nullptr)
        return juce::Result::fail ("cannot open the folder");

    FolderAccess::WriteOptions options;
    options.permissions = rewrite.permissionsIfNew;
    options.exactPermissions = rewrite.exactPermissions;
    options.createFolders = reach == Reach::byOwnNameOnly;
    // A sync a file costs ten times the rest of its rewrite on a disk; the run
    // syncs once when it ends instead (syncToDisk), and its backup is on the
    // disk before the first change.
    options.sync = false;
    options.readAs = readAs;
    options.nameChanged = nameChanged;
    const auto written = rewrite.writeContents
                           ? folder->replaceContents (relative, expectedState(), rewrite.writeContents, options)
                           : folder->replaceContents (relative, expectedState(), rewrite.bytes.data(), rewrite.bytes.size(), options);
    if (written.failed())
        return written;

    // The file itself is done; a name that cannot be linked again keeps the
    // old version, and the line says so.
    for (size_t i = 0; i < linked.size(); ++i)
        if (const auto relinked = folder->linkAgain (relative, linked[i], linkedStates[i]); relinked.failed())
            rewrite.remark << "(" << folder->describe (linked[i]) << " keeps the old version, no longer a hard link of it: "
                           << relinked.getErrorMessage() << ") ";
    return written;
}

std::vector<PlannedFile> PlannedFile::plan (const BatchOperation& operation)
{
    return plan (juce::File (operation.getSettings().directoryPath), operation.affectedFiles(),
                 operation.createsMissingFiles() ? Reach::byOwnNameOnly : Reach::resolvingLinksInside);
}

std::vector<PlannedFile> PlannedFile::plan (const juce::File& folder, const juce::Array<juce::File>& files, Reach reach)
{
    const auto access = std::make_shared<const FolderAccess> (folder);
    const auto realFolder = RealPath::of (folder);
    std::map<std::pair<unsigned long long, unsigned long long>, size_t> firstByIdentity;
    std::vector<PlannedFile> result;
    result.reserve ((size_t) files.size());

    for (const auto& file : files)
    {
        PlannedFile planned;
        planned.file = file;
        planned.folder = access;
        planned.reach = reach;
        const auto byName = FolderAccess::relativePathOf (file, folder);
        planned.relative = byName;

        // A link on the name or on its way is resolved once, here: the file
        // is then reached through the path it leads to, without links.
        planned.planned = byName.empty() ? FileState() : access->stateOf (byName);
        if (reach == Reach::resolvingLinksInside && (byName.empty() || planned.planned.kind == FileState::Kind::link))
        {
            const auto real = RealPath::of (file);
            if (! real.empty() && ! RealPath::liesWithin (real, realFolder))
            {
                planned.kind = Kind::outside;
                planned.detail = shownPath (real);
                result.push_back (std::move (planned));
                continue;
            }
            if (! real.empty())
                planned.relative = real.lexically_relative (realFolder).string();
            planned.planned = access->stateOf (planned.relative);
        }

        // One file under two names, by identity: a link, or a hard link.
        if (reach == Reach::resolvingLinksInside && planned.planned.kind == FileState::Kind::regular)
        {
            const auto [first, isNew] = firstByIdentity.emplace (std::make_pair (planned.planned.device, planned.planned.inode), result.size());
            if (! isNew)
            {
                auto& processed = result[first->second];
                planned.kind = Kind::alias;
                planned.detail = DisplayName::of (processed.file);
                if (planned.relative == byName && byName != processed.relative)
                {
                    processed.linked.push_back (byName);
                    processed.linkedStates.push_back (planned.planned);
                }
            }
        }

        result.push_back (std::move (planned));
    }
    return result;
}

juce::Result PlannedFile::writeBackup (std::vector<PlannedFile>& plan, const std::string& comment, juce::File& archive,
                                       FileState& archiveState, const std::function<bool (int stored, int total)>& shouldStop)
{
    if (plan.empty())
        return juce::Result::fail ("there is nothing to back up");

    std::vector<BackupArchive::Source> sources;
    std::vector<PlannedFile*> backedUp;
    sources.reserve (plan.size());
    backedUp.reserve (plan.size());
    for (auto& planned : plan)
        if (planned.kind == Kind::process && planned.planned.kind == FileState::Kind::regular)
        {
            sources.push_back ({ planned.file, planned.relative, planned.planned });
            backedUp.push_back (&planned);
        }

    std::vector<std::optional<BackupCopies::Copy>> stored;
    std::shared_ptr<const BackupCopies> copies;
    const auto written = BackupArchive::write (*plan.front().folder, sources, comment, archive, shouldStop, &stored, &copies, &archiveState);
    if (written.wasOk() && copies != nullptr)
        for (size_t i = 0; i < stored.size(); ++i)
        {
            backedUp[i]->backedUp = stored[i];
            backedUp[i]->backupCopies = copies;
        }
    return written;
}

bool PlannedFile::removeBackup (const std::vector<PlannedFile>& plan, const juce::File& archive, const FileState& archiveState)
{
    // The archive lies directly in the folder, under its own name.
    if (plan.empty() || plan.front().folder == nullptr || archiveState.kind != FileState::Kind::regular
        || archive.getParentDirectory() != plan.front().folder->getFolder())
        return false;
    return plan.front().folder->removeFile (archive.getFileName().toStdString(), archiveState).wasOk();
}

juce::StringArray PlannedFile::removeLeftovers (const std::vector<PlannedFile>& plan)
{
    juce::StringArray removed;
    if (plan.empty())
        return removed;

    std::set<std::string> folders { std::string() };
    for (const auto& planned : plan)
        if (planned.kind == Kind::process)
            folders.insert (planned.relative.substr (0, planned.relative.find_last_of ('/') == std::string::npos ? 0 : planned.relative.find_last_of ('/')));

    const auto& folder = *plan.front().folder;
    const auto isLeftover = [] (const std::string& name) { return ExclusiveFile::isLeftover (juce::File ("/" + juce::String::fromUTF8 (name.c_str()))); };
    for (const auto& each : folders)
        for (const auto& name : folder.removeFiles (each, isLeftover))
            removed.add (folder.describe (name));
    return removed;
}

juce::Result PlannedFile::syncToDisk (const std::vector<PlannedFile>& plan)
{
    if (plan.empty() || plan.front().folder == nullptr)
        return juce::Result::ok();
    return plan.front().folder->syncFileSystem();
}
