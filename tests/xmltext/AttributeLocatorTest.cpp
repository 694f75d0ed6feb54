#include "AttributeLocator.h"
#include "XmlTextEncoding.h"

#include <gtest/gtest.h>

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
