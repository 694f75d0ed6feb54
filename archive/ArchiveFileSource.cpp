#include "ArchiveFileSource.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

ArchiveFileSource::ArchiveFileSource (FileDescriptor opened, zip_uint64_t fileSize)
    : file (std::move (opened)), size (fileSize)
{
    zip_error_init (&error);
}

zip_source_t* ArchiveFileSource::create (const juce::File& archive, zip_error_t& failure)
{
    // Non-blocking, so that a FIFO given for an archive is refused below
    // instead of waiting for a writer; reads of a regular file ignore it.
    FileDescriptor opened (::open (archive.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info;
    if (! opened.isOpen() || ::fstat (opened.get(), &info) != 0)
    {
        zip_error_set (&failure, ZIP_ER_OPEN, errno);
        return nullptr;
    }
    if (! S_ISREG (info.st_mode))
    {
        zip_error_set (&failure, ZIP_ER_OPEN, EINVAL);
        return nullptr;
    }

    // Owned by libzip from here on: ZIP_SOURCE_FREE deletes it.
    auto state = std::unique_ptr<ArchiveFileSource> (new ArchiveFileSource (std::move (opened), (zip_uint64_t) info.st_size));
    zip_source_t* source = zip_source_function_create (callback, state.get(), &failure);
    if (source != nullptr)
        state.release();
    return source;
}

zip_int64_t ArchiveFileSource::fail (int zipError, int systemError)
{
    zip_error_set (&error, zipError, systemError);
    return -1;
}

zip_int64_t ArchiveFileSource::read (void* data, zip_uint64_t length)
{
    auto* out = static_cast<char*> (data);
    zip_uint64_t done = 0;
    while (done < length && position < size)
    {
        const bool cached = position >= blockStart && position < blockStart + block.size();
        if (! cached)
        {
            // A large read goes straight into libzip's buffer.
            if (length - done >= blockSize)
            {
                const auto got = ::pread (file.get(), out + done, (size_t) (length - done), (off_t) position);
                if (got < 0 && errno == EINTR)
                    continue;
                if (got <= 0)
                    return got < 0 ? fail (ZIP_ER_READ, errno) : (zip_int64_t) done;
                done += (zip_uint64_t) got;
                position += (zip_uint64_t) got;
                continue;
            }

            block.resize (blockSize);
            const auto got = ::pread (file.get(), block.data(), blockSize, (off_t) position);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
            {
                block.clear();
                return got < 0 ? fail (ZIP_ER_READ, errno) : (zip_int64_t) done;
            }
            block.resize ((size_t) got);
            blockStart = position;
        }

        const auto offset = (size_t) (position - blockStart);
        const auto count = std::min<zip_uint64_t> (length - done, block.size() - offset);
        std::memcpy (out + done, block.data() + offset, (size_t) count);
        done += count;
        position += count;
    }
    return (zip_int64_t) done;
}

zip_int64_t ArchiveFileSource::callback (void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto& self = *static_cast<ArchiveFileSource*> (state);
    switch (command)
    {
        case ZIP_SOURCE_OPEN:
            self.position = 0;
            return 0;
        case ZIP_SOURCE_READ:
            return self.read (data, length);
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_STAT:
        {
            auto* stat = ZIP_SOURCE_GET_ARGS (zip_stat_t, data, length, &self.error);
            if (stat == nullptr)
                return -1;
            zip_stat_init (stat);
            stat->size = self.size;
            stat->comp_size = self.size;
            stat->comp_method = ZIP_CM_STORE;
            stat->valid |= ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD;
            return sizeof (zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data (&self.error, data, length);
        case ZIP_SOURCE_FREE:
            zip_error_fini (&self.error);
            delete &self;
            return 0;
        case ZIP_SOURCE_SEEK:
        {
            const auto offset = zip_source_seek_compute_offset (self.position, self.size, data, length, &self.error);
            if (offset < 0)
                return -1;
            self.position = (zip_uint64_t) offset;
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return (zip_int64_t) self.position;
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_SEEKABLE;
        default:
            return self.fail (ZIP_ER_OPNOTSUPP, 0);
    }
}
