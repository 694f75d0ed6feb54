#include "AttributeConverter.h"
#include "FormulaEngine.h"
#include "NumberText.h"
#include "XmlTextEncoding.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
    /** A document with everything a re-serialising writer would lose or change. */
    const std::string messy =
        "<?xml version=\"1.0\" encoding=\"ENCODING\"?>\n"
        "<!DOCTYPE preset [\n"
        "  <!ENTITY unit \"dB\">\n"
        "  <!ATTLIST band gain CDATA \"5\">\n"
        "]>\n"
        "<!-- a comment with gain=\"5\" -->\n"
        "<?app-data gain=\"5\"?>\n"
        "<preset name='Warm &amp; \"soft\"' >\n"
        "  <band\tgain = '0.5'\n"
        "        GAIN=\"7\" ns:gain=\"3\" gainx=\"4\" label=\"a > b\" />\n"
        "  <band label=\"x\" gain=\"1&#46;5\" note=\"&unit;\">\xc3\x9cn\xc3\xaf"
        "c\xc3\xb6"
        "d\xc3\xa9 gain=\"5\"NONBMP</band>\n"
        "  <data><![CDATA[<band gain=\"5\"/>]]></data>\n"
        "  <band/>\n"
        "</preset>\n"
        "<!-- trailing comment -->\n";

    std::string replaceAll (std::string text, const std::string& what, const std::string& with)
    {
        for (auto at = text.find (what); at != std::string::npos; at = text.find (what, at + with.size()))
            text.replace (at, what.size(), with);
        return text;
    }

    std::string doubled (std::string text)
    {
        text = replaceAll (text, "gain = '0.5'", "gain = '1'");
        return replaceAll (text, "gain=\"1&#46;5\"", "gain=\"3\"");
    }

    struct Variant
    {
        const char* name;
        XmlTextEncoding::Kind kind;
        const char* declared;
        std::string byteOrderMark, lineEnd;
    };

    /** The messy document as a file in one encoding and line-end style. */
    std::string asFile (std::string utf8, const Variant& variant)
    {
        utf8 = replaceAll (utf8, "ENCODING", variant.declared);
        utf8 = replaceAll (utf8, "NONBMP", variant.kind == XmlTextEncoding::Kind::latin1 ? "" : "\xf0\x9d\x84\x9e");
        utf8 = replaceAll (utf8, "\n", variant.lineEnd);
        return variant.byteOrderMark + *XmlTextEncoding::encode (juce::String::fromUTF8 (utf8.data(), (int) utf8.size()), variant.kind);
    }

    std::string converted (FormulaEngine& engine, const std::string& document)
    {
        const auto rewrite = AttributeConverter (engine, "gain").rewrite (document);
        EXPECT_TRUE (rewrite.result.wasOk()) << rewrite.result.getErrorMessage();
        return rewrite.changes > 0 ? rewrite.bytes : document;
    }
}

TEST (ByteExactConvert, MessyDocumentChangesOnlyItsValuesInEveryEncoding)
{
    using Kind = XmlTextEncoding::Kind;
    const Variant variants[] = {
        { "UTF-8 LF", Kind::utf8, "UTF-8", "", "\n" },
        { "UTF-8 CR LF", Kind::utf8, "UTF-8", "", "\r\n" },
        { "UTF-8 with mark", Kind::utf8, "UTF-8", "\xef\xbb\xbf", "\n" },
        { "UTF-16 LE", Kind::utf16LittleEndian, "UTF-16", "\xff\xfe", "\r\n" },
        { "UTF-16 BE", Kind::utf16BigEndian, "UTF-16", "\xfe\xff", "\n" },
        { "Latin-1", Kind::latin1, "ISO-8859-1", "", "\n" },
    };

    FormulaEngine engine;
    for (const auto& variant : variants)
    {
        const auto original = asFile (messy, variant);
        ASSERT_TRUE (engine.setFormula ("y = x;"));
        EXPECT_TRUE (converted (engine, original) == original) << variant.name;

        ASSERT_TRUE (engine.setFormula ("y = x * 2;"));
        EXPECT_TRUE (converted (engine, original) == asFile (doubled (messy), variant)) << variant.name;
    }
}

namespace
{
    /** Random well-formed documents: nested elements, attributes in both
        quote styles and odd spacing, comments, processing instructions,
        CDATA, references and values that are numbers in their written form. */
    class DocumentGenerator
    {
    public:
        explicit DocumentGenerator (unsigned seed)
            : random (seed) {}

        std::string document()
        {
            std::string text = pick ({ "", "<?xml version=\"1.0\"?>\n", "\xef\xbb\xbf<?xml version='1.0' encoding='utf-8' ?>\r\n" });
            text += misc();
            element (text, 0);
            return text + misc();
        }

    private:
        std::string pick (std::initializer_list<const char*> choices)
        {
            return *(choices.begin() + std::uniform_int_distribution<size_t> (0, choices.size() - 1) (random));
        }

        int upTo (int most) { return std::uniform_int_distribution<int> (0, most) (random); }

        std::string misc() { return pick ({ "", "\n", "<!-- gain=\"1\" </e> -->", "<?pi gain='2'?>\r\n", " \t" }); }

        std::string value()
        {
            switch (upTo (4))
            {
                case 0: return NumberText::writeNumber (upTo (4000) / 4.0 - 500);
                case 1: return NumberText::writeNumber (std::ldexp (upTo (1000), -upTo (30)));
                case 2: return pick ({ "auto", "", "&amp;", "caf\xc3\xa9", "&lt;3" });
                default: return std::to_string (upTo (100));
            }
        }

        void attributes (std::string& text)
        {
            const std::string names[] = { "gain", "GAIN", "Gain", "gainx", "ns:gain", "other", "v" };
            bool used[7] = {};
            for (int count = upTo (4); count > 0; --count)
            {
                const int index = upTo (6);
                if (used[index])
                    continue;
                used[index] = true;
                const auto quote = pick ({ "\"", "'" });
                text += pick ({ " ", "\n\t", "  " }) + names[index] + pick ({ "=", " = ", "\n=" }) + quote + value() + quote;
            }
        }

        void element (std::string& text, int depth)
        {
            const auto name = pick ({ "e", "band", "x:y", "\xc3\xa9l" });
            text += "<" + name;
            attributes (text);
            if (depth > 4 || upTo (3) == 0)
            {
                text += pick ({ "/>", " />" });
                return;
            }
            text += ">";
            for (int children = upTo (4); children > 0; --children)
            {
                switch (upTo (4))
                {
                    case 0: text += pick ({ "text gain=\"3\"", "&lt;&gt;", "\r\n  ", "<![CDATA[<e gain=\"9\"/>]]>" }); break;
                    case 1: text += misc(); break;
                    default: element (text, depth + 1); break;
                }
            }
            text += "</" + name + ">";
        }

        std::mt19937 random;
    };
}

TEST (ByteExactConvert, RandomDocumentsSurviveTheIdentityAndARoundTrip)
{
    FormulaEngine identity, negate;
    ASSERT_TRUE (identity.setFormula ("y = x;"));
    ASSERT_TRUE (negate.setFormula ("-x"));

    for (unsigned seed = 1; seed <= 500; ++seed)
    {
        const auto original = DocumentGenerator (seed).document();
        const auto same = AttributeConverter (identity, "gain").rewrite (original);
        ASSERT_TRUE (same.result.wasOk()) << same.result.getErrorMessage() << "\n"
                                          << original;
        EXPECT_EQ (same.changes, 0) << original;

        // Negation is exact, so negating twice gives every value its first
        // written form back: each edit landed on its own value and nowhere else.
        const auto there = converted (negate, original);
        EXPECT_EQ (converted (negate, there), original) << "seed " << seed;
    }
}
