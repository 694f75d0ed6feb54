#include "BackupArchive.h"

#include "ArchiveFileSource.h"
#include "CheckedBufferedOutputStream.h"
#include "DisplayName.h"
#include "ExclusiveFile.h"
#include "FileDescriptorOutputStream.h"
#include "FileNameText.h"
#include "FilePermissions.h"
#include "FolderAccess.h"
#include "RealPath.h"
#include "ZipArchiveWriter.h"

#include <zip.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>

namespace fs = std::filesystem;

struct BackupArchive::Entry
{
    zip_uint64_t index;
    juce::String name;     // as a path below the folder
    juce::String original; // as the archive has it
    unsigned permissions = 0644;
    bool hasPermissions = false;
    unsigned fileType = 0; // the Unix file type bits, when the archive holds them
    juce::uint64 size = 0;
    std::optional<juce::uint32> crc; // when the archive gives one
};

struct BackupArchive::Handle
{
    zip_t* zip = nullptr;
    ~Handle()
    {
        if (zip != nullptr)
            zip_discard (zip);
    }
};

namespace
{
    constexpr size_t streamChunk = 1 << 16;

    // The file types of a Unix mode, as an archive made on Unix holds it.
    constexpr unsigned unixTypeBits = 0170000, unixRegularFile = 0100000, unixLink = 0120000;

    juce::String quoted (const juce::String& name)
    {
        return "\"" + DisplayName::of (name) + "\"";
    }

    /** The entry's name as the folder will have it, or a failure saying why
        it has none: libzip reads a name flagged as UTF-8 as UTF-8 (and refuses
        the archive when it is not), and guesses for the others. A name made
        on Unix that is not UTF-8 is the file name's own bytes (this tool
        stores a Latin-1 name so), and is restored under them. */
    juce::Result readName (zip_t* zip, zip_uint64_t index, bool madeOnUnix, juce::String& name)
    {
        const char* raw = zip_get_name (zip, index, ZIP_FL_ENC_RAW);
        const char* guessed = zip_get_name (zip, index, ZIP_FL_ENC_GUESS);
        const char* strict = zip_get_name (zip, index, ZIP_FL_ENC_STRICT);
        if (raw == nullptr || guessed == nullptr || strict == nullptr)
            return juce::Result::fail ("entry " + juce::String (index + 1) + " of the archive has no readable name");

        // Strict reading converts every name without the UTF-8 flag from
        // CP437; a name it leaves alone carries the flag.
        const bool flagged = std::strcmp (raw, strict) == 0;
        const bool guessedCp437 = std::strcmp (raw, guessed) != 0;
        name = flagged || madeOnUnix || ! guessedCp437 ? FileNameText::fromBytes (raw) : juce::String::fromUTF8 (guessed);
        return juce::Result::ok();
    }

    /** "sub/a.xml" for "./sub//a.xml" or "sub\\a.xml"; empty for a name
        that would leave the folder. */
    juce::String normalised (const juce::String& name)
    {
        if (name.isEmpty() || name.startsWithChar ('/') || name.startsWithChar ('\\') || name.containsChar ('\0')
            || (name.length() > 1 && name[1] == ':'))
            return {};
        juce::StringArray parts;
        for (const auto& part : juce::StringArray::fromTokens (name.replaceCharacter ('\\', '/'), "/", {}))
        {
            if (part == "..")
                return {};
            if (part.isNotEmpty() && part != ".")
                parts.add (part);
        }
        return parts.joinIntoString ("/");
    }

    /** Where names below a real folder lead, links followed as far as they
        exist. Each folder on the way is resolved once, not once for every
        entry in it: a large archive names thousands of files in a folder. */
    class RealTargets
    {
    public:
        explicit RealTargets (fs::path realRoot)
            : root (std::move (realRoot)) {}

        /** Empty when the name cannot be resolved, with the reason in error. */
        fs::path of (const fs::path& relative, std::error_code& error)
        {
            error.clear();
            const auto parent = relative.parent_path();
            const auto realParent = parent.empty() ? root : folderOf (parent, error);
            if (realParent.empty())
                return {};

            // Only a link as the last part needs more than the folder's real path.
            const auto joined = realParent / relative.filename();
            if (! fs::is_symlink (fs::symlink_status (joined, error)))
            {
                const bool missing = error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory;
                if (missing)
                    error.clear();
                return error ? fs::path() : joined;
            }
            const auto resolved = fs::weakly_canonical (joined, error);
            return error ? fs::path() : resolved;
        }

    private:
        struct Resolved
        {
            fs::path path;
            std::error_code error;
        };

        fs::path folderOf (const fs::path& parent, std::error_code& error)
        {
            auto known = folders.find (parent);
            if (known == folders.end())
            {
                Resolved resolved;
                resolved.path = fs::weakly_canonical (root / parent, resolved.error);
                if (resolved.error)
                    resolved.path.clear();
                known = folders.emplace (parent, std::move (resolved)).first;
            }
            error = known->second.error;
            return known->second.path;
        }

        fs::path root;
        std::map<fs::path, Resolved> folders;
    };

    /** An opened entry, closed when it goes. */
    struct OpenEntry
    {
        zip_file_t* file = nullptr;
        ~OpenEntry()
        {
            if (file != nullptr)
                zip_fclose (file);
        }
    };
}

BackupArchive::BackupArchive (const juce::File& archiveFile)
    : file (archiveFile) {}
BackupArchive::~BackupArchive() = default;

juce::Result BackupArchive::open()
{
    entries.clear();
    handle = std::make_unique<Handle>();

    zip_error_t error;
    zip_error_init (&error);
    zip_source_t* source = ArchiveFileSource::create (file, error);
    if (source != nullptr)
    {
        handle->zip = zip_open_from_source (source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
        if (handle->zip == nullptr)
            zip_source_free (source); // not taken by an archive
    }
    if (handle->zip == nullptr)
    {
        const auto failure = juce::Result::fail ("cannot read the archive " + file.getFullPathName() + " (" + juce::String (zip_error_strerror (&error)) + ")");
        zip_error_fini (&error);
        return failure;
    }
    zip_error_fini (&error);

    const auto count = zip_get_num_entries (handle->zip, 0);
    for (zip_int64_t i = 0; i < count; ++i)
    {
        Entry entry;
        entry.index = (zip_uint64_t) i;

        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        const bool unixMode = zip_file_get_external_attributes (handle->zip, entry.index, 0, &system, &attributes) == 0
                           && system == ZIP_OPSYS_UNIX && (attributes >> 16) != 0;
        if (auto named = readName (handle->zip, entry.index, system == ZIP_OPSYS_UNIX, entry.original); named.failed())
            return named;
        if (entry.original.endsWithChar ('/') || entry.original.endsWithChar ('\\'))
            continue; // a folder; its files come with their own entries

        if (unixMode)
        {
            // Mode 0000 is a mode too: only an archive that holds none gives 0644.
            entry.permissions = (attributes >> 16) & 07777;
            entry.fileType = (attributes >> 16) & unixTypeBits;
            entry.hasPermissions = true;
        }

        zip_stat_t stat;
        zip_stat_init (&stat);
        if (zip_stat_index (handle->zip, entry.index, 0, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0)
            return juce::Result::fail ("the entry " + quoted (entry.original) + " has no readable size");
        entry.size = stat.size;
        if ((stat.valid & ZIP_STAT_CRC) != 0)
            entry.crc = stat.crc;
        entry.name = normalised (entry.original);
        entries.push_back (entry);
    }
    return juce::Result::ok();
}

int BackupArchive::getNumEntries() const
{
    return (int) entries.size();
}

juce::String BackupArchive::getEntryName (int index) const
{
    const auto& entry = entries[(size_t) index];
    return entry.name.isNotEmpty() ? entry.name : entry.original;
}

juce::File BackupArchive::getEntryTarget (int index, const juce::File& folder) const
{
    return folder.getChildFile (getEntryName (index));
}

unsigned BackupArchive::getEntryPermissions (int index) const
{
    return entries[(size_t) index].permissions;
}

bool BackupArchive::hasEntryPermissions (int index) const
{
    return entries[(size_t) index].hasPermissions;
}

juce::uint64 BackupArchive::getEntrySize (int index) const
{
    return entries[(size_t) index].size;
}

bool BackupArchive::surelyDiffers (int index, juce::uint64 size, juce::uint32 crc) const
{
    // Equal bytes have equal sizes and CRCs; the archive's own claims are
    // checked when the entry is read, so a false claim cannot pass there.
    const auto& entry = entries[(size_t) index];
    return entry.size != size || (entry.crc.has_value() && *entry.crc != crc);
}

juce::Result BackupArchive::writeTo (int index, juce::OutputStream& out) const
{
    const auto& entry = entries[(size_t) index];
    OpenEntry opened { zip_fopen_index (handle->zip, entry.index, 0) };
    if (opened.file == nullptr)
        return juce::Result::fail (DisplayName::of (entry.original) + ": " + juce::String (zip_strerror (handle->zip)));

    // Read to the end: the CRC is checked there.
    std::vector<char> buffer (streamChunk);
    zip_int64_t got = 0;
    while ((got = zip_fread (opened.file, buffer.data(), buffer.size())) > 0)
        if (! out.write (buffer.data(), (size_t) got))
            return juce::Result::fail ("write failed");

    if (got < 0)
        return juce::Result::fail (DisplayName::of (entry.original) + ": " + juce::String (zip_file_strerror (opened.file)));
    return juce::Result::ok();
}

juce::Result BackupArchive::read (int index, std::string& bytes) const
{
    // Grown as the bytes come, never reserved from the size the archive claims.
    struct Collector : juce::OutputStream
    {
        std::string& bytes;
        explicit Collector (std::string& into)
            : bytes (into) {}
        bool write (const void* data, size_t numBytes) override
        {
            bytes.append (static_cast<const char*> (data), numBytes);
            return true;
        }
        void flush() override {}
        bool setPosition (juce::int64) override { return false; }
        juce::int64 getPosition() override { return (juce::int64) bytes.size(); }
    } collector (bytes);

    bytes.clear();
    return writeTo (index, collector);
}

juce::Result BackupArchive::holdsSameBytes (int index, std::string_view bytes, bool& same) const
{
    struct Comparer : juce::OutputStream
    {
        std::string_view expected;
        size_t at = 0;
        bool differs = false;
        explicit Comparer (std::string_view bytesToMatch)
            : expected (bytesToMatch) {}
        bool write (const void* data, size_t numBytes) override
        {
            differs = differs || at + numBytes > expected.size() || std::memcmp (expected.data() + at, data, numBytes) != 0;
            at += numBytes;
            return true;
        }
        void flush() override {}
        bool setPosition (juce::int64) override { return false; }
        juce::int64 getPosition() override { return (juce::int64) at; }
    } comparer (bytes);

    const auto result = writeTo (index, comparer);
    same = result.wasOk() && ! comparer.differs && comparer.at == bytes.size();
    return result;
}

juce::Result BackupArchive::verifyForRestore (const juce::File& folder) const
{
    const auto root = RealPath::of (folder);
    if (root.empty())
        return juce::Result::fail ("cannot resolve the folder " + folder.getFullPathName());

    std::map<juce::String, juce::String> named; // path below the folder, as the system compares names -> the entry that names it
    RealTargets realTargets (root);
    std::unique_ptr<FolderAccess> walked; // opened for the first name that needs it
    juce::uint64 total = 0;
    for (const auto& entry : entries)
    {
        const auto& name = entry.name;
        if (name.isEmpty())
            return juce::Result::fail ("the entry " + quoted (entry.original) + " would be written outside the folder");

        if (entry.fileType != 0 && entry.fileType != unixRegularFile)
            return juce::Result::fail ("the entry " + quoted (entry.original)
                                       + (entry.fileType == unixLink ? " is a link" : " is not a regular file")
                                       + ", which a restore does not make");

        // Each part must be a name the system can hold as written, and two
        // entries one file (on Windows, names differing in letter case) are refused.
        for (const auto& part : juce::StringArray::fromTokens (name, "/", {}))
            if (const auto refusal = FolderAccess::refusalOfName (FileNameText::toBytes (part)); ! refusal.empty())
                return juce::Result::fail ("the entry " + quoted (entry.original) + " has a name this system cannot hold (" + juce::String (refusal) + ")");
        const auto key = FileNameText::fromBytes (FolderAccess::nameKey (FileNameText::toBytes (name)));
        if (const auto [other, isNew] = named.emplace (key, entry.original); ! isNew)
            return juce::Result::fail ("the entries " + quoted (other->second) + " and " + quoted (entry.original) + " name the same file");

        if (entry.size > largestEntrySize)
            return juce::Result::fail ("the entry " + quoted (entry.original) + " claims " + juce::String ((juce::int64) entry.size)
                                       + " bytes, more than the 1 TiB a restore takes");
        total += entry.size;

        // Links already in the folder are followed as far as they exist. A
        // name the system cannot resolve by path (one longer than its limit
        // on path names) is walked by descriptor: with no link on its way it
        // lies inside the folder.
        std::error_code unresolved;
        const auto target = realTargets.of (fs::path (FileNameText::toBytes (name)), unresolved);
        if (target.empty())
        {
            if (! walked)
                walked = std::make_unique<FolderAccess> (folder);
            if (walked->linkOnTheWay (FileNameText::toBytes (name)))
                return juce::Result::fail ("the entry " + quoted (entry.original) + " leads through a link, and where it leads cannot be told ("
                                           + juce::String (unresolved.message()) + ")");
        }
        else if (! RealPath::liesWithin (target, root))
            return juce::Result::fail ("the entry " + quoted (entry.original) + " leads through a link out of the folder");
    }

    // A file and a file inside it, as in "lnk" and "lnk/x.xml", cannot both be restored.
    for (const auto& [name, original] : named)
        for (auto slash = name.lastIndexOfChar ('/'); slash > 0; slash = name.substring (0, slash).lastIndexOfChar ('/'))
            if (const auto holder = named.find (name.substring (0, slash)); holder != named.end())
                return juce::Result::fail ("the entry " + quoted (original) + " lies inside " + quoted (holder->second)
                                           + ", which the archive holds as a file");

    if (const auto space = FolderAccess::freeSpaceIn (folder); total > space)
        return juce::Result::fail ("its files take " + juce::String ((juce::int64) total) + " bytes, more than the "
                                   + juce::String ((juce::int64) space) + " bytes left on the folder's disk");

    struct Discard : juce::OutputStream
    {
        juce::int64 at = 0;
        bool write (const void*, size_t numBytes) override { return (at += (juce::int64) numBytes) >= 0; }
        void flush() override {}
        bool setPosition (juce::int64) override { return false; }
        juce::int64 getPosition() override { return at; }
    };
    for (int i = 0; i < getNumEntries(); ++i)
    {
        Discard discard;
        if (const auto read = writeTo (i, discard); read.failed())
            return juce::Result::fail ("the entry " + quoted (entries[(size_t) i].original) + " is damaged (" + read.getErrorMessage() + ")");
    }

    return juce::Result::ok();
}

juce::File BackupArchive::newestIn (const juce::File& folder)
{
    juce::File newest;
    for (const auto& candidate : folder.findChildFiles (juce::File::findFiles, false, juce::String (baseName) + "*.zip",
                                                        juce::File::FollowSymlinks::no))
        if (newest == juce::File() || candidate.getLastModificationTime() > newest.getLastModificationTime()
            || (candidate.getLastModificationTime() == newest.getLastModificationTime()
                && candidate.getFileName().length() > newest.getFileName().length()))
            newest = candidate;
    return newest;
}

namespace
{
    juce::String commentOf (zip_t* zip)
    {
        int length = 0;
        const char* text = zip_get_archive_comment (zip, &length, ZIP_FL_ENC_GUESS);
        return text != nullptr ? juce::String::fromUTF8 (text, length) : juce::String();
    }

    int countFiles (zip_t* zip)
    {
        int files = 0;
        const auto count = zip_get_num_entries (zip, 0);
        for (zip_int64_t i = 0; i < count; ++i)
            if (const char* name = zip_get_name (zip, (zip_uint64_t) i, ZIP_FL_ENC_RAW); name != nullptr && *name != 0
                                                                                         && name[std::strlen (name) - 1] != '/')
                ++files;
        return files;
    }

    bool isNewer (const BackupArchive::Summary& a, const BackupArchive::Summary& b)
    {
        // Same order as newestIn(): the later time, and at a tie the longer
        // (higher numbered) name.
        if (a.modified != b.modified)
            return a.modified > b.modified;
        return a.file.getFileName().length() > b.file.getFileName().length();
    }
}

std::vector<BackupArchive::Summary> BackupArchive::listIn (const juce::File& folder)
{
    std::vector<Summary> list;
    for (const auto& candidate : folder.findChildFiles (juce::File::findFiles, false, juce::String (baseName) + "*.zip",
                                                        juce::File::FollowSymlinks::no))
    {
        // Only regular files: opening a FIFO of that name would wait for a
        // writer forever, and a backup is never a link.
        if (FileState::of (candidate).kind != FileState::Kind::regular)
            continue;

        Summary summary { candidate, candidate.getLastModificationTime(), -1, {} };
        int errorCode = 0;
        if (zip_t* zip = zip_open (candidate.getFullPathName().toRawUTF8(), ZIP_RDONLY, &errorCode); zip != nullptr)
        {
            summary.files = countFiles (zip);
            summary.comment = commentOf (zip);
            zip_discard (zip);
        }
        list.push_back (std::move (summary));
    }
    std::sort (list.begin(), list.end(), isNewer);
    return list;
}

juce::String BackupArchive::getComment() const
{
    return handle != nullptr && handle->zip != nullptr ? commentOf (handle->zip) : juce::String();
}

juce::File BackupArchive::numberedFile (const juce::File& directory, int number)
{
    return ExclusiveFile::numberedName (directory, baseName, ".zip", number);
}

juce::File BackupArchive::freeFile (const juce::String& directoryPath)
{
    const juce::File directory (directoryPath);
    return numberedFile (directory, ExclusiveFile::firstFreeNumber (directory, baseName, ".zip"));
}

juce::String BackupArchive::storedNameFor (const juce::File& file, const juce::File& directory)
{
    const auto relative = file.getRelativePathFrom (directory);
    return relative.isEmpty() ? file.getFileName() : relative;
}

namespace
{
    /** The archive just published under name, opened again for reading, if
        it is still the file written (the same file, not followed through a link). */
    FileDescriptor reopened (const FolderAccess& folder, const juce::File& name, const FileState& written)
    {
        const auto stream = folder.openForReading (FileNameText::toBytes (name.getFileName()), &written);
        return stream->getStatus().wasOk() ? stream->takeDescriptor() : FileDescriptor();
    }
}

juce::Result BackupArchive::write (const FolderAccess& folder, const std::vector<Source>& sources,
                                   const std::string& comment, juce::File& archive,
                                   const std::function<bool (int, int)>& shouldStop,
                                   std::vector<std::optional<BackupCopies::Copy>>* stored, std::shared_ptr<const BackupCopies>* copies,
                                   FileState* archiveState)
{
    if (folder.getOpenResult().failed())
        return folder.getOpenResult();

    ZipArchiveWriter writer;
    writer.shouldStop = shouldStop;
    writer.setComment (comment);
    FilePermissions readers;
    for (const auto& source : sources)
    {
        // Read by descriptor, and only while it is the file the run planned:
        // one swapped for a link or another file is left out, and the run
        // then refuses to change it.
        writer.addEntry (source.file, FileNameText::fromBytes (source.relative),
                         [&folder, &source] { return folder.openForReading (source.relative, &source.planned); });
        readers.add (folder, source.relative, source.planned);
    }

    const auto& directory = folder.getFolder();
    ExclusiveFile newFile;
    if (const auto created = newFile.create (folder.getDescriptor(), directory, readers.widest()); created.failed())
        return created;
    if (const auto narrowed = newFile.narrowPermissions (readers.forGroup (newFile.getGroup())); narrowed.failed())
        return narrowed;

    {
        // The checked buffer turns the many small header writes into few large
        // ones and keeps any failure of them.
        FileDescriptorOutputStream stream (newFile.getDescriptor());
        CheckedBufferedOutputStream buffered (stream, ZipArchiveWriter::outputBufferSize);
        const bool complete = writer.writeTo (buffered) && ! buffered.hasFailed() && stream.getStatus().wasOk();
        if (! complete)
            return juce::Result::fail (writer.getLastError().isNotEmpty() && writer.getLastError() != ZipArchiveEntry::writeFailedMessage
                                           ? writer.getLastError()
                                       : stream.getStatus().failed() ? stream.getStatus().getErrorMessage()
                                                                     : juce::String (ZipArchiveEntry::writeFailedMessage));
    }

    const auto written = newFile.getState();
    const bool known = written.exists();
    if (const auto published = newFile.publishNumbered (directory, baseName, ".zip", archive); published.failed())
        return published;
    if (archiveState != nullptr && known)
        *archiveState = written;

    if (stored != nullptr && copies != nullptr && known)
        if (auto reading = reopened (folder, archive, written); reading.isOpen())
        {
            *copies = std::make_shared<const BackupCopies> (std::move (reading));
            stored->assign (sources.size(), std::nullopt);
            for (int i = 0; i < writer.getNumEntries(); ++i)
                if (const auto& entry = writer.getEntry (i); entry.written && entry.sourceState.has_value())
                    (*stored)[(size_t) i] = BackupCopies::Copy { entry.getDataOffset(), entry.dataSize, entry.crc, *entry.sourceState };
        }
    return juce::Result::ok();
}
