// libFuzzer target for the attribute locator: any bytes go in. It must never
// crash, and the identity conversion (every value rewritten in its written
// number form) must land exactly on the values: parsing the result again
// finds the same attributes holding what was written, and a second identity
// conversion changes nothing. An input starting with '/' is a value path on
// its first line and the document after it: the path must parse or be
// refused without a crash, and the same properties hold for what it selects
// (a path that selects nothing changes no byte).
#include "AttributeLocator.h"
#include "NumberText.h"
#include "ValuePath.h"

#include <algorithm>
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
    template<class Selection>
    bool identity (std::string_view document, const Selection& selection, std::vector<std::string>& values, std::vector<Edit>& edits)
    {
        const auto error = AttributeLocator::locate (document, selection, [&] (const AttributeLocator::Match& match) {
            check (match.offset + match.length <= document.size());
            check (edits.empty() || edits.back().offset + edits.back().length <= match.offset);
            if (! match.plain)
                return values.push_back ("(kept)");

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

    template<class Selection>
    void checkIdentity (std::string_view document, const Selection& selection)
    {
        std::vector<std::string> values;
        std::vector<Edit> edits;
        if (! identity (document, selection, values, edits))
            return;

        const auto once = applied (document, edits);
        std::vector<std::string> valuesAgain;
        std::vector<Edit> editsAgain;
        check (identity (once, selection, valuesAgain, editsAgain));
        check (valuesAgain == values);
        check (editsAgain.empty());
    }
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const std::string_view input (reinterpret_cast<const char*> (data), size);
    if (size > 0 && data[0] == '/')
    {
        const auto lineEnd = std::min (input.find ('\n'), input.size());
        const auto pathText = input.substr (0, lineEnd);
        ValuePath::Refusal refusal;
        const auto path = ValuePath::parse (pathText, refusal);
        if (! path)
        {
            check (refusal.start < refusal.end && refusal.start <= pathText.size());
            check (! ValuePath::describe (pathText, refusal).empty());
            return 0;
        }
        checkIdentity (input.substr (std::min (lineEnd + 1, input.size())), *path);
        return 0;
    }

    const std::string name = size > 0 && data[0] % 2 == 0 ? "gain" : "V";
    checkIdentity (input, name);
    return 0;
}
