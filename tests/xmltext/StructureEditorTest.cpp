#include "StructureEditor.h"
#include "ValuePath.h"

#include <gtest/gtest.h>

using Kind = StructureEditor::Kind;

namespace
{
    // A preset as plug-ins write them: a declaration, a comment, CDATA, an
    // entity reference, both quotes, attributes on lines of their own.
    const std::string preset = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<!-- factory bank: caf\xc3\xa9 -->\n"
                               "<preset name='Caf\xc3\xa9 &amp; Bar' version=\"1\">\n"
                               "  <par name=\"volume\" value=\"0.5\"/>\n"
                               "  <par name='old_drive' value='3'/>\n"
                               "  <par name=\"cutoff\"\n"
                               "       value=\"64\"   range=\"0 127\"/>\n"
                               "  <notes><![CDATA[keep <this>]]></notes>\n"
                               "  <title>Night</title>\n"
                               "  <empty/>\n"
                               "</preset>\n";

    struct Case
    {
        Kind kind;
        const char *path, *name, *value;
        std::string from, to; // the one change the edit makes to the preset
    };

    const Case cases[] = {
        { Kind::setValue, "//par[@name='volume']/@value", "", "0.75", "value=\"0.5\"", "value=\"0.75\"" },
        { Kind::setValue, "//par[@name='old_drive']/@value", "", "a'b&<c\"", "value='3'", "value='a&apos;b&amp;&lt;c\"'" },
        { Kind::setValue, "/preset/title/text()", "", "Caf\xc3\xa9 ]]> Day", ">Night<", ">Caf\xc3\xa9 ]]&gt; Day<" },
        { Kind::setValue, "/preset/empty/text()", "", "x", "<empty/>", "<empty>x</empty>" },
        { Kind::rename, "//par/@range", "span", "", "range=", "span=" },
        { Kind::rename, "//title", "heading", "", "<title>Night</title>", "<heading>Night</heading>" },
        { Kind::rename, "//empty", "void", "", "<empty/>", "<void/>" },
        { Kind::remove, "//par/@range", "", "", "\"64\"   range=\"0 127\"", "\"64\"" },
        { Kind::remove, "//par[@name='old_drive']", "", "", "  <par name='old_drive' value='3'/>\n", "" },
        { Kind::remove, "//par[@name='cutoff']", "", "", "  <par name=\"cutoff\"\n       value=\"64\"   range=\"0 127\"/>\n", "" },
        { Kind::remove, "/preset/@version", "", "", " version=\"1\"", "" },
        { Kind::addAttribute, "//par[@name='old_drive']", "min", "0", "value='3'/>", "value='3' min='0'/>" },
        { Kind::addAttribute, "//empty", "min", "\xc3\xa9", "<empty/>", "<empty min=\"\xc3\xa9\"/>" },
        { Kind::addElement, "/preset", "", "<par name=\"width\" value=\"1\"/>", "</preset>", "  <par name=\"width\" value=\"1\"/>\n</preset>" },
        { Kind::addElement, "//empty", "", "<a/>", "  <empty/>", "  <empty>\n    <a/>\n  </empty>" },
        { Kind::addElement, "//title", "", "<a/>", "Night</title>", "Night\n    <a/>\n  </title>" },
    };

    std::string edited (const Case& c, const std::string& document, std::string* failure = nullptr)
    {
        ValuePath::Refusal refusal;
        auto path = ValuePath::parse (c.path, refusal, true);
        EXPECT_TRUE (path.has_value()) << c.path << ": " << refusal.message;
        EXPECT_EQ (StructureEditor::refusalFor (c.kind, (int) path->target()), "") << c.path;
        const StructureEditor editor (c.kind, std::make_shared<const ValuePath> (std::move (*path)),
                                      juce::String::fromUTF8 (c.name), juce::String::fromUTF8 (c.value));
        const auto outcome = editor.apply (document);
        if (failure != nullptr)
            *failure = outcome.failure;
        else
            EXPECT_EQ (outcome.failure, "") << c.path;
        return outcome.edits.empty() ? document : outcome.bytes;
    }

    std::string replaced (std::string text, const std::string& from, const std::string& to)
    {
        for (size_t at = 0; (at = text.find (from, at)) != std::string::npos; at += to.size())
            text.replace (at, from.size(), to);
        return text;
    }

    /** The same document in another encoding or with other line ends: applied
        alike to the original and to what the edit must give. */
    using Variant = std::function<std::string (const std::string&)>;

    std::string asLatin1 (const std::string& utf8)
    {
        const auto text = replaced (utf8, "encoding=\"UTF-8\"", "encoding=\"ISO-8859-1\"");
        return *XmlTextEncoding::encode (juce::String::fromUTF8 (text.data(), (int) text.size()), XmlTextEncoding::Kind::latin1);
    }

    std::string asUtf16 (const std::string& utf8)
    {
        const auto text = replaced (utf8, "encoding=\"UTF-8\"", "encoding=\"UTF-16\"");
        return "\xff\xfe" + *XmlTextEncoding::encode (juce::String::fromUTF8 (text.data(), (int) text.size()), XmlTextEncoding::Kind::utf16LittleEndian);
    }
}

// Every edit changes the bytes of its own place and nothing else, in every
// encoding and with every line end: the whole file equals the original with
// that one change.
TEST (StructureEditor, ChangesOnlyTheBytesOfTheEditInEveryVariant)
{
    const std::pair<const char*, Variant> variants[] = {
        { "UTF-8, LF", [] (const std::string& s) { return s; } },
        { "UTF-8, CR LF", [] (const std::string& s) { return replaced (s, "\n", "\r\n"); } },
        { "Latin-1, CR LF", [] (const std::string& s) { return asLatin1 (replaced (s, "\n", "\r\n")); } },
        { "Latin-1, CR", [] (const std::string& s) { return asLatin1 (replaced (s, "\n", "\r")); } },
        { "UTF-16 LE", asUtf16 },
    };
    for (const auto& c : cases)
    {
        ASSERT_NE (preset.find (c.from), std::string::npos) << c.from;
        const auto expected = preset.substr (0, preset.find (c.from)) + c.to + preset.substr (preset.find (c.from) + c.from.size());
        for (const auto& [label, variant] : variants)
            EXPECT_EQ (edited (c, variant (preset)), variant (expected)) << label << ": " << c.path;
    }
}

TEST (StructureEditor, AnEditThatWouldBreakTheFileFailsIt)
{
    const Case failing[] = {
        { Kind::rename, "//par[@name='volume']/@name", "value", "", {}, {} },
        { Kind::remove, "/preset", "", "", {}, {} },
        { Kind::remove, "/*", "", "", {}, {} },
    };
    for (const auto& c : failing)
    {
        std::string failure;
        EXPECT_EQ (edited (c, preset, &failure), preset) << c.path;
        EXPECT_NE (failure, "") << c.path;
    }
    std::string failure;
    edited (cases[0], "<preset><par name='volume' value='1'></preset>", &failure);
    EXPECT_EQ (failure.rfind ("not an XML document: mismatched tag at line 1", 0), 0u) << failure;
}

TEST (StructureEditor, LeavesAloneWhatItSaysItLeavesAlone)
{
    const Case kept[] = {
        { Kind::addAttribute, "//par", "name", "x", {}, {} },             // every par has a name already
        { Kind::setValue, "//notes/text()", "", "x", {}, {} },            // CDATA would be lost
        { Kind::setValue, "//par/@value[. = '0.5']", "", "0.5", {}, {} }, // already so
        { Kind::remove, "//nothing", "", "", {}, {} },
    };
    for (const auto& c : kept)
        EXPECT_EQ (edited (c, preset), preset) << c.path;
}

TEST (StructureEditor, NestedSelectionsAreEditedOnceEach)
{
    const std::string nested = "<a>\n  <g>\n    <g/>\n  </g>\n  <g></g>\n</a>\n";
    EXPECT_EQ (edited ({ Kind::remove, "//g", "", "", {}, {} }, nested), "<a>\n</a>\n");
    EXPECT_EQ (edited ({ Kind::rename, "//g", "h", "", {}, {} }, nested), "<a>\n  <h>\n    <h/>\n  </h>\n  <h></h>\n</a>\n");
}

TEST (StructureEditor, RefusesNamesFragmentsValuesAndPathsOfTheWrongKind)
{
    for (const auto* name : { "", "1st", "a b", "a>", "-x" })
        EXPECT_TRUE (StructureEditor::nameProblem (juce::String::fromUTF8 (name)).isNotEmpty()) << name;
    for (const auto* name : { "a", "x:par", "_v-2.1", "caf\xc3\xa9" })
        EXPECT_TRUE (StructureEditor::nameProblem (juce::String::fromUTF8 (name)).isEmpty()) << name;
    for (const auto* fragment : { "", "text", "<a/><b/>", "<a>", "<a x='1' x='2'/>", "<?xml version='1.0'?><a/>", "<a>&undefined;</a>" })
        EXPECT_TRUE (StructureEditor::fragmentProblem (fragment).isNotEmpty()) << fragment;
    EXPECT_TRUE (StructureEditor::fragmentProblem (" <a b='1'><c/></a>\n").isEmpty());
    EXPECT_TRUE (StructureEditor::valueProblem (juce::String::charToString (1)).isNotEmpty());

    EXPECT_NE (StructureEditor::refusalFor (Kind::setValue, (int) ValuePath::Target::element), "");
    EXPECT_NE (StructureEditor::refusalFor (Kind::remove, (int) ValuePath::Target::text), "");
    EXPECT_NE (StructureEditor::refusalFor (Kind::addElement, (int) ValuePath::Target::attribute), "");
}
