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

    // Some programs write blank lines before the declaration, which XML does
    // not allow there; they are kept too, after the byte-order mark.
    FormulaEngine engine;
    for (const auto& variant : variants)
    {
        for (const std::string blanks : { "", "\n", "\r\n \t\r\n" })
        {
            const auto original = asFile (blanks + messy, variant);
            ASSERT_TRUE (engine.setFormula ("y = x;"));
            EXPECT_TRUE (converted (engine, original) == original) << variant.name;

            ASSERT_TRUE (engine.setFormula ("y = x * 2;"));
            EXPECT_TRUE (converted (engine, original) == asFile (blanks + doubled (messy), variant)) << variant.name;
        }
    }
}

TEST (ByteExactConvert, EveryValueShapeKeepsItsTextUnlessItsNumberChanges)
{
    // Each value, and what y = x * 2 makes of it; y = x changes none.
    const std::pair<const char*, const char*> shapes[] = {
        { "1.30", "2.6" },
        { "+3", "6" },
        { "1e3", "2000" },
        { " 7 ", " 14 " },
        { "4.71214e-05", "9.42428e-005" },
        { "1.4013e-45", "2.8026e-045" },
        { "0.1234567891", "0.246913578" },
        { "12px", "24px" },
        { "50%", "100%" },
        { "-6 dB", "-12 dB" },
        { "\t3\n\xc2\xb5s ", "\t6\n\xc2\xb5s " }, // the tab and line end are kept as they are written
        { "&#32;7 dB", " 14 dB" },                // a reference is written anew by what it stands for
        { "1&#46;5", "3" },
        { "inf", "inf" },
        { "nan", "nan" },
        { "NaN", "NaN" },
        { "2 3", "2 3" }, // from here on: not a number, kept and counted
        { "1,5", "1,5" },
        { "0x10", "0x10" },
        { "1.2.3", "1.2.3" },
        { "12px 4px", "12px 4px" },
        { "12abc5", "12abc5" },
        { "auto", "auto" },
        { "", "" },
    };
    std::string before = "<r>", after = "<r>";
    for (const auto& [value, doubledValue] : shapes)
    {
        before += std::string ("<v gain=\"") + value + "\"/>\n";
        after += std::string ("<v gain=\"") + doubledValue + "\"/>\n";
    }
    before += "</r>";
    after += "</r>";

    using Kind = XmlTextEncoding::Kind;
    const Variant variants[] = {
        { "UTF-8", Kind::utf8, "UTF-8", "", "\n" },
        { "UTF-16 LE", Kind::utf16LittleEndian, "UTF-16", "\xff\xfe", "\r\n" },
        { "UTF-16 BE", Kind::utf16BigEndian, "UTF-16", "\xfe\xff", "\n" },
    };
    FormulaEngine identity, twice;
    ASSERT_TRUE (identity.setFormula ("y = x;"));
    ASSERT_TRUE (twice.setFormula ("y = x * 2;"));
    for (const auto& variant : variants)
    {
        const auto original = asFile (before, variant);
        const auto same = AttributeConverter (identity, "gain").rewrite (original);
        EXPECT_EQ (same.changes, 0) << variant.name << ": " << same.bytes;

        const auto rewrite = AttributeConverter (twice, "gain").rewrite (original);
        EXPECT_TRUE (rewrite.bytes == asFile (after, variant)) << variant.name << ":\n"
                                                               << rewrite.bytes;
        EXPECT_EQ (rewrite.remark, "(8 values that are not numbers kept as they were) ");
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
