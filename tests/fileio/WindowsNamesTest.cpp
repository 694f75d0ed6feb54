#include "FileNameText.h"
#include "WindowsNames.h"

#include <gtest/gtest.h>

#include <random>

// What Windows cannot hold as written is refused; everything else passes.
TEST (WindowsNames, RefusesTheNamesWindowsTreatsSpecially)
{
    const std::pair<const char*, bool> table[] = {
        { "a.xml", true },
        { "CON", false },
        { "con.xml", false },
        { "Nul", false },
        { "aux .txt", false },
        { "COM1.xml", false },
        { "lpt9", false },
        { "COM0.xml", true },
        { "COM10.xml", true },
        { "console.xml", true },
        { "a.xml.", false },
        { "a.xml ", false },
        { "a.xml:stream", false },
        { "a?.xml", false },
        { "a\\b.xml", false },
        { "tab\t.xml", false },
        { "caf\xc3\xa9.xml", true },
        { ".hidden", true },
        { "..", false },
        { "COM\xc2\xb9", false },
    };
    for (const auto& [name, allowed] : table)
        EXPECT_EQ (WindowsNames::refusalOf (name).empty(), allowed) << name;
}

TEST (WindowsNames, OnlyANameSurrogateReparsePointIsALink)
{
    using Kind = FileState::Kind;
    const std::tuple<uint32_t, uint32_t, Kind> table[] = {
        { 0x20, 0, Kind::regular }, // archive bit
        { 0x10, 0, Kind::folder },
        { 0x20 | 0x400, WindowsNames::symbolicLinkTag, Kind::link }, // file symbolic link
        { 0x10 | 0x400, WindowsNames::mountPointTag, Kind::link },   // junction
        { 0x10 | 0x400, WindowsNames::symbolicLinkTag, Kind::link }, // folder symbolic link
        { 0x20 | 0x400, 0x9000001A, Kind::regular },                 // a cloud file's placeholder
        { 0x10 | 0x400, 0x9000701A, Kind::folder },                  // a cloud folder's: walked like any folder
        { 0x40, 0, Kind::other },
    };
    for (const auto& [attributes, tag, kind] : table)
        EXPECT_EQ (WindowsNames::kindOf (attributes, tag), kind) << std::hex << attributes << " " << tag;
}

// A new version takes the name by a rename with POSIX semantics, which
// replaces a file that others hold open; only a system or file system
// without it (Wine among them) falls back to the plain rename. A file in
// use or a name taken is an answer about the file: falling back then would
// turn it into a plain rename that refuses or waits on its readers.
TEST (WindowsNames, OnlyASystemWithoutPosixRenameFallsBack)
{
    const std::pair<uint32_t, bool> table[] = {
        { 0xC0000003, true },  // STATUS_INVALID_INFO_CLASS: Windows before 10 1607, Wine 8
        { 0xC00000BB, true },  // STATUS_NOT_SUPPORTED: FAT, some network shares
        { 0xC000000D, true },  // STATUS_INVALID_PARAMETER: flags the file system does not know
        { 0xC0000002, true },  // STATUS_NOT_IMPLEMENTED
        { 0xC0000043, false }, // STATUS_SHARING_VIOLATION: retried, then "in use"
        { 0xC0000022, false }, // STATUS_ACCESS_DENIED
        { 0xC0000035, false }, // STATUS_OBJECT_NAME_COLLISION: a name taken is never replaced
        { 0x00000000, false },
    };
    for (const auto& [status, fallsBack] : table)
        EXPECT_EQ (WindowsNames::lacksPosixRename (status), fallsBack) << std::hex << status;
}

TEST (WindowsNames, NamesDifferingInLetterCaseAreOne)
{
    EXPECT_TRUE (WindowsNames::sameName ("Pad.XML", "pad.xml"));
    EXPECT_TRUE (WindowsNames::sameName ("Caf\xc3\xa9", "CAF\xc3\x89"));
    EXPECT_FALSE (WindowsNames::sameName ("a.xml", "b.xml"));
    EXPECT_FALSE (WindowsNames::sameName ("sub/eq-bands.xml", "synth-preset.xml"));
}

#if ! defined(_WIN32) // names are bytes on POSIX systems alone
// Any bytes survive the trip through a juce::String, whatever they hold.
TEST (FileNameText, AnyBytesComeBackAsTheyWere)
{
    std::mt19937 random (7);
    for (int round = 0; round < 2000; ++round)
    {
        std::string bytes;
        const auto length = random() % 12;
        for (size_t i = 0; i < length; ++i)
            bytes += (char) (1 + random() % 255);
        const auto text = FileNameText::fromBytes (bytes);
        ASSERT_EQ (FileNameText::toBytes (text), bytes);
        if (FileNameText::isValidUtf8 (bytes))
        {
            EXPECT_EQ (text, juce::String::fromUTF8 (bytes.data(), (int) bytes.size()));
        }
    }
}
#endif

#if defined(_WIN32)
// A Windows name's lone surrogates are characters of their own: none turns
// into a separator or a dot of another name.
TEST (FileNameText, ALoneSurrogateInAWindowsNameStaysItself)
{
    const juce::juce_wchar name[] = { 'a', 0xDC2F, 0xDC2E, 'b', 0 };
    const auto bytes = FileNameText::toBytes (juce::String (juce::CharPointer_UTF32 (name)));
    EXPECT_EQ (bytes.find_first_of ("/."), std::string::npos);
    EXPECT_EQ (bytes.size(), 8u);
}
#endif
