#include "ArchiveFileSource.h"

#include "RegularFileInputStream.h"

#include <cerrno>
#include <cstring>
#include <memory>

ArchiveFileSource::ArchiveFileSource (FileDescriptor opened, zip_uint64_t fileSize)
    : file (std::move (opened)), size (fileSize)
{
    zip_error_init (&error);
}

zip_source_t* ArchiveFileSource::create (const juce::File& archive, zip_error_t& failure)
{
    // Opened without blocking, so that a FIFO given for an archive is
    // refused instead of waiting for a writer.
    RegularFileInputStream stream (archive);
    if (stream.getStatus().failed())
    {
        // errno as the failed open left it, where the system sets it.
        zip_error_set (&failure, ZIP_ER_OPEN, stream.wasNotRegular() ? EINVAL : stream.wasMissing() ? ENOENT : errno != 0 ? errno : EIO);
        return nullptr;
    }
    const auto fileSize = (zip_uint64_t) stream.getState().size;
    auto opened = stream.takeDescriptor();

    // Owned by libzip from here on: ZIP_SOURCE_FREE deletes it.
    auto state = std::unique_ptr<ArchiveFileSource> (new ArchiveFileSource (std::move (opened), fileSize));
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
                const auto got = file.readAt ((int64_t) position, out + done, (size_t) (length - done));
                if (got <= 0)
                    return got < 0 ? fail (ZIP_ER_READ, EIO) : (zip_int64_t) done;
                done += (zip_uint64_t) got;
                position += (zip_uint64_t) got;
                continue;
            }

            block.resize (blockSize);
            const auto got = file.readAt ((int64_t) position, block.data(), blockSize);
            if (got <= 0)
            {
                block.clear();
                return got < 0 ? fail (ZIP_ER_READ, EIO) : (zip_int64_t) done;
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
