#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/**
    Text stored gzip-compressed, as many programs save their presets: read
    whole into memory and written back with the header it came with.

    A file is gzip data when its bytes say so, whatever its name: files that
    share an extension may be compressed or not.
*/
class GzipText
{
public:
    /** The fields of a gzip header that are kept from reading to writing. */
    struct Header
    {
        std::optional<std::string> name;    // the original file's name, bytes as stored
        std::optional<std::string> comment; // likewise
        std::optional<std::string> extra;   // the extra field's bytes
        uint32_t modificationTime = 0;      // seconds since 1970; 0 when not set
        int operatingSystem = 255;          // the producer's system: 3 is Unix, 255 unknown
        int extraFlags = 0;                 // as read; on writing, zlib sets them from the level
        bool isText = false;                // the producer believed the data to be text
        bool hasHeaderCrc = false;          // the header carries its own check value
    };

    /** Past this many bytes once decompressed, data is refused: gzip can
        squeeze a gigabyte into a megabyte, and a preset is never that large. */
    static constexpr size_t defaultSizeLimit = size_t (1) << 30;

    /** zlib's own default: nearly the smallest output at a fraction of the
        time of level 9. */
    static constexpr int defaultLevel = 6;

    /** True when the bytes start with gzip's magic number 1f 8b. */
    static bool isGzip (std::string_view bytes);

    struct Unpacked
    {
        std::string text;  // every member's data, one after the other
        Header header;     // the first member's header
        std::string error; // empty when all of the data was read
    };

    /** The data of every member. Fails, with an error starting "damaged gzip
        data: ", on a wrong check value, a cut-off end or bytes after the last
        member that are not another one; and when the data would be larger
        than sizeLimit bytes, with no more than sizeLimit bytes allocated. */
    static Unpacked decompress (std::string_view bytes, size_t sizeLimit = defaultSizeLimit);

    /** The text as one gzip member with the header's fields (a text of many
        members comes back as one). Throws std::bad_alloc when zlib cannot
        get its memory, std::invalid_argument for a level outside 0 to 9. */
    static std::string compress (std::string_view text, const Header& header, int level = defaultLevel);
};
