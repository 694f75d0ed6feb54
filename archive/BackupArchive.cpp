#include "BackupArchive.h"

#include "CheckedBufferedOutputStream.h"
#include "ExclusiveFile.h"
#include "FileDescriptorOutputStream.h"
#include "FilePermissions.h"
#include "RealPath.h"
#include "ZipArchiveWriter.h"

#include <zip.h>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

struct BackupArchive::Entry
{
    zip_uint64_t index;
    juce::String name;
    unsigned permissions;
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
    juce::String zipErrorText (int code)
    {
        zip_error_t error;
        zip_error_init_with_code (&error, code);
        const juce::String text (zip_error_strerror (&error));
        zip_error_fini (&error);
        return text;
    }

    bool isSafeName (const juce::String& name)
    {
        if (name.isEmpty() || name.startsWithChar ('/') || name.startsWithChar ('\\') || name.containsChar ('\0')
            || (name.length() > 1 && name[1] == ':'))
            return false;
        for (const auto& part : juce::StringArray::fromTokens (name.replaceCharacter ('\\', '/'), "/", {}))
            if (part == "..")
                return false;
        return true;
    }
}

BackupArchive::BackupArchive (const juce::File& archiveFile)
    : file (archiveFile) {}
BackupArchive::~BackupArchive() = default;

juce::Result BackupArchive::open()
{
    entries.clear();
    handle = std::make_unique<Handle>();

    int errorCode = 0;
    handle->zip = zip_open (file.getFullPathName().toRawUTF8(), ZIP_RDONLY | ZIP_CHECKCONS, &errorCode);
    if (handle->zip == nullptr)
        return juce::Result::fail ("cannot read the archive " + file.getFullPathName() + " (" + zipErrorText (errorCode) + ")");

    const auto count = zip_get_num_entries (handle->zip, 0);
    for (zip_int64_t i = 0; i < count; ++i)
    {
        const char* name = zip_get_name (handle->zip, (zip_uint64_t) i, ZIP_FL_ENC_GUESS);
        if (name == nullptr)
            return juce::Result::fail ("entry " + juce::String (i + 1) + " of the archive has no readable name");

        const auto entryName = juce::String::fromUTF8 (name);
        if (entryName.endsWithChar ('/'))
            continue; // a folder; its files come with their own entries

        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        unsigned permissions = 0644;
        if (zip_file_get_external_attributes (handle->zip, (zip_uint64_t) i, 0, &system, &attributes) == 0
            && system == ZIP_OPSYS_UNIX && ((attributes >> 16) & 0777) != 0)
            permissions = (attributes >> 16) & 0777;

        entries.push_back ({ (zip_uint64_t) i, entryName, permissions });
    }
    return juce::Result::ok();
}

int BackupArchive::getNumEntries() const
{
    return (int) entries.size();
}

juce::String BackupArchive::getEntryName (int index) const
{
    return entries[(size_t) index].name;
}

juce::File BackupArchive::getEntryTarget (int index, const juce::File& folder) const
{
    return folder.getChildFile (getEntryName (index).replaceCharacter ('\\', '/'));
}

unsigned BackupArchive::getEntryPermissions (int index) const
{
    return entries[(size_t) index].permissions;
}

juce::Result BackupArchive::read (int index, std::string& bytes) const
{
    const auto& entry = entries[(size_t) index];
    bytes.clear();

    zip_stat_t stat;
    zip_stat_init (&stat);
    if (zip_stat_index (handle->zip, entry.index, 0, &stat) != 0)
        return juce::Result::fail (entry.name + ": " + juce::String (zip_strerror (handle->zip)));

    auto* opened = zip_fopen_index (handle->zip, entry.index, 0);
    if (opened == nullptr)
        return juce::Result::fail (entry.name + ": " + juce::String (zip_strerror (handle->zip)));

    if ((stat.valid & ZIP_STAT_SIZE) != 0)
        bytes.reserve ((size_t) stat.size);

    // Read to the end: the CRC is checked there.
    char buffer[65536];
    zip_int64_t got = 0;
    while ((got = zip_fread (opened, buffer, sizeof buffer)) > 0)
        bytes.append (buffer, (size_t) got);

    const juce::String error (got < 0 ? zip_file_strerror (opened) : "");
    zip_fclose (opened);
    if (got < 0)
        return juce::Result::fail (entry.name + ": " + error);
    return juce::Result::ok();
}

juce::Result BackupArchive::verifyForRestore (const juce::File& folder) const
{
    const auto root = RealPath::of (folder);
    if (root.empty())
        return juce::Result::fail ("cannot resolve the folder " + folder.getFullPathName());

    for (int i = 0; i < getNumEntries(); ++i)
    {
        const auto& name = entries[(size_t) i].name;
        if (! isSafeName (name))
            return juce::Result::fail ("the entry \"" + name + "\" would be written outside the folder");

        // Links already in the folder are followed as far as they exist.
        std::error_code error;
        const auto target = fs::weakly_canonical (root / fs::u8path (name.replaceCharacter ('\\', '/').toStdString()), error);
        if (error || ! RealPath::liesWithin (target, root))
            return juce::Result::fail ("the entry \"" + name + "\" leads through a link out of the folder");
    }

    std::string bytes;
    for (int i = 0; i < getNumEntries(); ++i)
        if (const auto read = this->read (i, bytes); read.failed())
            return juce::Result::fail ("the entry \"" + entries[(size_t) i].name + "\" is damaged (" + read.getErrorMessage() + ")");

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

juce::Result BackupArchive::write (const juce::Array<juce::File>& files, const juce::File& directory,
                                   juce::File& archive, const std::function<bool (int, int)>& shouldStop)
{
    ZipArchiveWriter writer;
    writer.shouldStop = shouldStop;
    for (const auto& file : files)
        writer.addEntry (file, storedNameFor (file, directory));

    ExclusiveFile newFile;
    if (const auto created = newFile.create (directory, FilePermissions::strictestFor (files)); created.failed())
        return created;

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

    return newFile.publishNumbered (directory, baseName, ".zip", archive);
}
