#include "AttributeLocator.h"
#include "ValuePath.h"

#include <gtest/gtest.h>

namespace
{
    // Every value carries its own label, so a selection reads as a list of labels.
    const std::string document = "<bank id='b'>"
                                 "<AMPLITUDE><par name='volume' value='a1'/><par name='pan' value='a2'/></AMPLITUDE>"
                                 "<par name='volume' value='p1' max='100'/>"
                                 "<x:par name='volume' value='n1'/>"
                                 "<instrument><volume>t1</volume><volume>70</volume><volume>t3<i/></volume></instrument>"
                                 "<PARAM id='cutoff' value='65'/><PARAM id='reso' value='63'/><PARAM id='drive' value='c3'/>"
                                 "<PARAM id='cutoff-2' Value='c4'/>"
                                 "</bank>";

    std::string selected (const std::string& pathText)
    {
        ValuePath::Refusal refusal;
        const auto path = ValuePath::parse (pathText, refusal);
        if (! path)
            return "refused: " + refusal.message;
        std::string labels;
        const auto error = AttributeLocator::locate (document, *path, [&] (const AttributeLocator::Match& match) {
            labels += (labels.empty() ? "" : " ") + std::string (match.value);
            EXPECT_EQ (document.substr (match.offset, match.length), match.value);
        });
        EXPECT_EQ (error, "");
        return labels;
    }
}

TEST (ValuePath, SelectsTheValuesItsStepsAndConditionsName)
{
    const std::pair<const char*, const char*> table[] = {
        { "//par/@value", "a1 a2 p1" },
        { "/bank/par/@value", "p1" },
        { "/par/@value", "" },
        { "/bank/*/par/@value", "a1 a2" },
        { "//x:par/@value", "n1" },
        { "//@max", "100" },
        { "//par[@name='volume']/@value", "a1 p1" },
        { "//par[@name!='volume']/@value", "a2" },
        { "//par[@max]/@value", "p1" },
        { "//par[@max > 99.5]/@value", "p1" },
        { "//par[@max <= 99]/@value", "" },
        { "//par[not(@max)]/@value", "a1 a2" },
        { "//PARAM[@id='cutoff' or @id='reso']/@value", "65 63" },
        { "//PARAM[starts-with(@id,'cut')]/@value", "65" },
        { "//PARAM[contains(@id, 'o') and not(@id = 'reso')]/@value", "65" },
        { "//PARAM/@value[. > 64]", "65" },
        { "//PARAM/@value[. < 64 or . = 'c3']", "63 c3" },
        { "/bank[@id='b']//AMPLITUDE/par[@name='volume']/@value", "a1" },
        { "/bank[@id='c']//par/@value", "" },
        { "//PARAM/@Value", "c4" },
        { "//instrument/volume/text()", "t1 70" },
        { "//volume/text()[. >= 70]", "70" },
        { "//instrument/text()", "" },
    };
    for (const auto& [path, labels] : table)
        EXPECT_EQ (selected (path), labels) << path;
}

TEST (ValuePath, RefusesWhatStreamingCannotDecideWithThePlace)
{
    // The carets stand under the part refused.
    const std::pair<const char*, const char*> table[] = {
        { "par/@value", "^" },
        { "//par", "^^^^^" },
        { "//par[1]/@value", "      ^" },
        { "//par[last()]/@value", "      ^^^^^" },
        { "//par[position() < 3]/@value", "      ^^^^^^^^^" },
        { "//child::par/@value", "  ^^^^^^^" },
        { "//par/../@value", "      ^^" },
        { "//par[name()='x']/@value", "      ^^^^^" },
        { "//par[. > 3]/@value", "      ^" },
        { "//par/@value[@max]", "             ^" },
        { "//par/@*", "      ^^" },
        { "//par/@value/x", "            ^^" },
        { "//par[@a='x]/@value", "         ^^^^^^^^^^" },
        { "//par[@a + 1]/@value", "         ^" },
        { "/@value", "^^^^^^^" },
        { "//par | //x/@value", "      ^" },
    };
    for (const auto& [path, carets] : table)
    {
        ValuePath::Refusal refusal;
        EXPECT_FALSE (ValuePath::parse (path, refusal).has_value()) << path;
        const auto text = ValuePath::describe (path, refusal);
        EXPECT_EQ (text.substr (0, text.find ('\n', std::string (path).size() + 1)), std::string (path) + "\n" + carets) << text;
        EXPECT_FALSE (refusal.message.empty());
    }
}

TEST (ValuePath, APlainNameIsNoPath)
{
    for (const auto* name : { "gain", "x:gain", "ns.value-2" })
        EXPECT_FALSE (ValuePath::isPath (name));
    for (const auto* path : { "//a/@b", "@b", "a[b]", "text()" })
        EXPECT_TRUE (ValuePath::isPath (path));
}

TEST (ValuePath, NestingIsBoundedNotAStackOverflow)
{
    // Each construct that nests: brackets, not() and a function's operand.
    const std::pair<const char*, const char*> nestings[] = { { "(", ")" }, { "not(", ")" }, { "contains((", "),'x')" } };
    for (const auto& [open, close] : nestings)
        for (const size_t depth : { size_t (100), size_t (100000) })
        {
            std::string condition = "@n=1";
            std::string opening, closing;
            for (size_t i = 0; i < depth; ++i)
                opening += open, closing += close;
            const auto text = "//b[" + opening + condition + closing + "]/@v";

            ValuePath::Refusal refusal;
            const auto path = ValuePath::parse (text, refusal);
            EXPECT_EQ (path.has_value(), depth == 100) << open << " x " << depth;
            if (! path)
            {
                EXPECT_NE (refusal.message.find ("nests deeper"), std::string::npos) << refusal.message;
            }
        }
}
