#include "AttributeLocator.h"
#include "XmlTextEncoding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace
{
    struct Layout
    {
        XmlTextEncoding::Kind kind;
        std::string mark;
    };

    std::string encoded (const std::string& utf8, const Layout& layout)
    {
        return layout.mark + *XmlTextEncoding::encode (juce::String::fromUTF8 (utf8.data(), (int) utf8.size()), layout.kind);
    }

    std::string locateError (const std::string& document)
    {
        return AttributeLocator::locate (document, "v", [] (const AttributeLocator::Match&) {});
    }
}

// Blanks before the declaration are read past; an error behind them is told
// at its place in the file: the same place as in a file whose declaration is
// a comment of the same length, which may follow blanks.
TEST (AttributeLocator, ErrorsBehindBlanksBeforeTheDeclarationKeepTheirLineAndColumn)
{
    using Kind = XmlTextEncoding::Kind;
    const std::string declaration = "<?xml version='1.0' ?>", comment = "<!--x version='1.0'-->";
    const Layout layouts[] = { { Kind::utf8, "" }, { Kind::utf8, "\xef\xbb\xbf" }, { Kind::utf16LittleEndian, "\xff\xfe" }, { Kind::utf16BigEndian, "\xfe\xff" }, { Kind::utf16LittleEndian, "" } };
    for (const auto& layout : layouts)
        for (const std::string blanks : { "\n", "  \t", "\r\n\n  ", "\r \r" })
            for (const std::string body : { "<a></b>", "\n<a>\n  <b v='1'></a>" })
            {
                const auto error = locateError (encoded (blanks + declaration + body, layout));
                EXPECT_FALSE (error.empty());
                EXPECT_EQ (error, locateError (encoded (blanks + comment + body, layout)))
                    << (int) layout.kind << " " << layout.mark.size() << " " << body;
            }

    EXPECT_EQ (locateError ("<!-- c -->\n<?xml version='1.0'?><a/>"),
               "XML or text declaration not at start of entity at line 2, column 1");
}

TEST (XmlTextEncoding, TheDeclarationBehindBlanksNamesTheEncoding)
{
    using Kind = XmlTextEncoding::Kind;
    const auto latin1 = XmlTextEncoding::detect ("\r\n<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>");
    EXPECT_EQ (latin1.kind, Kind::latin1);
    EXPECT_TRUE (latin1.problem.isEmpty());

    EXPECT_EQ (XmlTextEncoding::declaredEncoding ("\xef\xbb\xbf\n <?xml version='1.0' encoding='US-ASCII'?><a/>"), "US-ASCII");

    // UTF-16 without a mark is refused with blanks before it as without them.
    const auto unmarked = encoded ("\n<?xml version='1.0'?><a/>", { Kind::utf16LittleEndian, "" });
    EXPECT_TRUE (XmlTextEncoding::detect (unmarked).problem.contains ("without a byte-order mark"));
}

// The locator picks an attribute exactly when namesMatch says its name is
// the one wanted: over random pairs of short names from letters that differ
// only in case, letters beyond ASCII, and the two that lower to ASCII ones
// (the Kelvin sign to 'k', the dotted capital I to 'i').
TEST (AttributeLocator, PicksAttributesExactlyWhereNamesMatch)
{
    const std::vector<std::string> letters = { "k", "K", "i", "I", "a", "A", "\xe2\x84\xaa", "\xc4\xb0", "\xc3\xa9", "\xc3\x89", "_" };
    std::mt19937 random (22);
    const auto randomName = [&] {
        std::string name = random() % 2 == 0 ? "k" : "a"; // a name starts with a letter
        for (auto extra = random() % 4; extra > 0; --extra)
            name += letters[random() % letters.size()];
        return name;
    };

    int matched = 0;
    for (int round = 0; round < 3000; ++round)
    {
        const auto present = randomName(), wanted = randomName();
        int found = 0;
        const auto error = AttributeLocator::locate ("<e " + present + "=\"1\"/>", wanted, [&] (const AttributeLocator::Match&) { ++found; });
        ASSERT_TRUE (error.empty()) << present << ": " << error;
        EXPECT_EQ (found == 1, AttributeLocator::namesMatch (present, wanted)) << present << " / " << wanted;
        matched += found;
    }
    EXPECT_GT (matched, 50); // the pairs are not all apart
}
