// libFuzzer target for the attribute locator: any bytes go in. It must never
// crash, and the identity conversion (every value rewritten in its written
// number form) must land exactly on the values: parsing the result again
// finds the same attributes holding what was written, and a second identity
// conversion changes nothing.
#include "AttributeLocator.h"
#include "NumberText.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
    struct Edit
    {
        size_t offset, length;
        std::string bytes;
    };

    std::string encode (const std::string& text, AttributeLocator::Units units)
    {
        if (units == AttributeLocator::Units::bytes)
            return text;
        std::string encoded;
        for (const char c : text)
            encoded += units == AttributeLocator::Units::utf16LittleEndian ? std::string { c, '\0' } : std::string { '\0', c };
        return encoded;
    }

    void check (bool condition)
    {
        if (! condition)
            std::abort();
    }

    /** The values a conversion with y = x leaves in the attributes, and the edits it makes. */
    bool identity (std::string_view document, const std::string& name, std::vector<std::string>& values, std::vector<Edit>& edits)
    {
        const auto error = AttributeLocator::locate (document, name, [&] (const AttributeLocator::Match& match) {
            check (match.offset + match.length <= document.size());
            check (edits.empty() || edits.back().offset + edits.back().length <= match.offset);

            const auto number = NumberText::readNumber (match.value);
            const auto written = number ? NumberText::writeNumber (*number) : std::string (match.value);
            values.push_back (written);
            if (written != match.value)
                edits.push_back ({ match.offset, match.length, encode (written, match.units) });
        });
        return error.empty();
    }

    std::string applied (std::string_view document, const std::vector<Edit>& edits)
    {
        std::string result;
        size_t copied = 0;
        for (const auto& edit : edits)
        {
            result.append (document.substr (copied, edit.offset - copied));
            result += edit.bytes;
            copied = edit.offset + edit.length;
        }
        return result.append (document.substr (copied));
    }
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const std::string_view document (reinterpret_cast<const char*> (data), size);
    const std::string name = size > 0 && data[0] % 2 == 0 ? "gain" : "V";

    std::vector<std::string> values;
    std::vector<Edit> edits;
    if (! identity (document, name, values, edits))
        return 0;

    const auto once = applied (document, edits);
    std::vector<std::string> valuesAgain;
    std::vector<Edit> editsAgain;
    check (identity (once, name, valuesAgain, editsAgain));
    check (valuesAgain == values);
    check (editsAgain.empty());
    return 0;
}
