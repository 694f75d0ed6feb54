#include "GzipText.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

namespace
{
    // zlib counts its buffers in unsigned ints: larger texts go in slices.
    constexpr size_t largestSlice = UINT_MAX;

    // A name or comment longer than this is refused rather than cut short;
    // the extra field cannot be longer (its length is a 16-bit number).
    constexpr size_t largestField = 65535;

    struct Inflater
    {
        z_stream stream {};
        Inflater()
        {
            if (inflateInit2 (&stream, 16 + MAX_WBITS) != Z_OK)
                throw std::bad_alloc();
        }
        ~Inflater() { inflateEnd (&stream); }
        Inflater (const Inflater&) = delete;
        Inflater& operator= (const Inflater&) = delete;
    };

    struct Deflater
    {
        z_stream stream {};
        explicit Deflater (int level)
        {
            const int status = deflateInit2 (&stream, level, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
            if (status == Z_STREAM_ERROR)
                throw std::invalid_argument ("gzip compression level " + std::to_string (level) + " is not 0 to 9");
            if (status != Z_OK)
                throw std::bad_alloc();
        }
        ~Deflater() { deflateEnd (&stream); }
        Deflater (const Deflater&) = delete;
        Deflater& operator= (const Deflater&) = delete;
    };

    /** Where zlib writes the header fields it reads; a field it found
        missing is set to null. */
    struct HeaderBuffers
    {
        std::vector<Bytef> name = std::vector<Bytef> (largestField + 1);
        std::vector<Bytef> comment = std::vector<Bytef> (largestField + 1);
        std::vector<Bytef> extra = std::vector<Bytef> (largestField);
        gz_header header {};

        HeaderBuffers()
        {
            header.name = name.data();
            header.name_max = (uInt) name.size();
            header.comment = comment.data();
            header.comm_max = (uInt) comment.size();
            header.extra = extra.data();
            header.extra_max = (uInt) extra.size();
        }

        /** A zero-terminated field, or nothing when it is absent or too long. */
        static std::optional<std::string> text (const Bytef* field, size_t space, bool& tooLong)
        {
            if (field == Z_NULL)
                return std::nullopt;
            const auto length = strnlen (reinterpret_cast<const char*> (field), space);
            tooLong = tooLong || length == space;
            return std::string (reinterpret_cast<const char*> (field), length);
        }

        GzipText::Header kept (bool& tooLong) const
        {
            GzipText::Header kept;
            kept.name = text (header.name, name.size(), tooLong);
            kept.comment = text (header.comment, comment.size(), tooLong);
            if (header.extra != Z_NULL)
                kept.extra = std::string (reinterpret_cast<const char*> (header.extra), header.extra_len);
            kept.modificationTime = (uint32_t) header.time;
            kept.operatingSystem = header.os;
            kept.extraFlags = header.xflags;
            kept.isText = header.text != 0;
            kept.hasHeaderCrc = header.hcrc != 0;
            return kept;
        }
    };

    GzipText::Unpacked failed (std::string error)
    {
        GzipText::Unpacked unpacked;
        unpacked.error = std::move (error);
        return unpacked;
    }

    std::string damaged (const char* why)
    {
        return std::string ("damaged gzip data: ") + why;
    }
}

bool GzipText::isGzip (std::string_view bytes)
{
    return bytes.size() >= 2 && (unsigned char) bytes[0] == 0x1f && (unsigned char) bytes[1] == 0x8b;
}

GzipText::Unpacked GzipText::decompress (std::string_view bytes, size_t sizeLimit)
{
    Inflater inflater;
    auto& stream = inflater.stream;
    HeaderBuffers buffers;
    inflateGetHeader (&stream, &buffers.header);

    const auto* const input = reinterpret_cast<const Bytef*> (bytes.data());
    stream.next_in = const_cast<Bytef*> (input);
    const auto consumed = [&] { return (size_t) (stream.next_in - input); };

    Unpacked unpacked;
    auto& text = unpacked.text;
    size_t used = 0;
    for (;;)
    {
        if (stream.avail_in == 0)
            stream.avail_in = (uInt) std::min (bytes.size() - consumed(), largestSlice);

        // The text grows by doubling up to the limit; at the limit, one more
        // byte goes into a probe, and any byte there is one too many.
        if (used == text.size() && text.size() < sizeLimit)
            text.resize (std::min (sizeLimit, std::max (text.size() * 2, size_t (1) << 16)));
        Bytef probe = 0;
        const bool atLimit = used == text.size();
        stream.next_out = atLimit ? &probe : reinterpret_cast<Bytef*> (&text[used]);
        stream.avail_out = atLimit ? 1u : (uInt) std::min (text.size() - used, largestSlice);

        const auto roomBefore = stream.avail_out;
        const auto inputBefore = consumed();
        const int status = inflate (&stream, Z_NO_FLUSH);
        const size_t produced = roomBefore - stream.avail_out;
        if (atLimit && produced > 0)
            return failed ("gzip data larger than " + std::to_string (sizeLimit) + " bytes once decompressed");
        used += produced;

        if (status == Z_MEM_ERROR)
            throw std::bad_alloc();
        if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_STREAM_ERROR)
            return failed (damaged (stream.msg != nullptr ? stream.msg : "invalid data"));

        if (status == Z_STREAM_END)
        {
            // Members may follow one another (gzip reads them as one text);
            // anything else after a member is not data this reading could keep.
            const auto rest = bytes.substr (consumed());
            if (rest.empty())
                break;
            if (! isGzip (rest))
                return failed (damaged ("unexpected bytes after the end of the compressed data"));
            inflateReset (&stream);
            continue;
        }

        if (produced == 0 && consumed() == inputBefore && consumed() == bytes.size())
            return failed (damaged ("the data ends before the end of the compressed stream"));
    }

    bool tooLong = false;
    unpacked.header = buffers.kept (tooLong);
    if (tooLong)
        return failed ("gzip header with a name or comment longer than " + std::to_string (largestField) + " bytes");
    text.resize (used);
    return unpacked;
}

std::string GzipText::compress (std::string_view text, const Header& header, int level)
{
    Deflater deflater (level);
    auto& stream = deflater.stream;

    // zlib reads the name and comment up to their zero; it writes the extra
    // flags from the level itself.
    std::string name = header.name.value_or (""), comment = header.comment.value_or (""), extra = header.extra.value_or ("");
    gz_header fields {};
    fields.text = header.isText ? 1 : 0;
    fields.time = header.modificationTime;
    fields.os = header.operatingSystem;
    fields.hcrc = header.hasHeaderCrc ? 1 : 0;
    fields.name = header.name ? reinterpret_cast<Bytef*> (name.data()) : Z_NULL;
    fields.comment = header.comment ? reinterpret_cast<Bytef*> (comment.data()) : Z_NULL;
    fields.extra = header.extra ? reinterpret_cast<Bytef*> (extra.data()) : Z_NULL;
    fields.extra_len = (uInt) std::min (extra.size(), largestField);
    deflateSetHeader (&stream, &fields);

    std::string compressed (deflateBound (&stream, (uLong) text.size()), '\0');
    const auto* const input = reinterpret_cast<const Bytef*> (text.data());
    stream.next_in = const_cast<Bytef*> (input);
    size_t written = 0;
    for (int status = Z_OK; status != Z_STREAM_END;)
    {
        const auto given = (size_t) (stream.next_in - input);
        if (stream.avail_in == 0)
            stream.avail_in = (uInt) std::min (text.size() - given, largestSlice);
        if (written == compressed.size())
            compressed.resize (compressed.size() * 2);
        stream.next_out = reinterpret_cast<Bytef*> (&compressed[written]);
        stream.avail_out = (uInt) std::min (compressed.size() - written, largestSlice);

        const auto roomBefore = stream.avail_out;
        const bool allGiven = given + stream.avail_in == text.size();
        status = deflate (&stream, allGiven ? Z_FINISH : Z_NO_FLUSH);
        written += roomBefore - stream.avail_out;
        if (status == Z_STREAM_ERROR)
            throw std::logic_error ("zlib found its compression state inconsistent");
    }
    compressed.resize (written);
    return compressed;
}
