#include "AttributeConverter.h"
#include "support/BatchFixture.h"

using ConvertRun = BatchFixture;

namespace
{
    std::unique_ptr<juce::XmlElement> parse (const std::string& text)
    {
        return juce::XmlDocument::parse (juce::String::fromUTF8 (text.data(), (int) text.size()));
    }

    const char* header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n";
}

TEST_F (ConvertRun, WorkedExampleConvertsFirstMatchPerElementIgnoringCase)
{
    folder.write ("a.xml", "<band gain=\"0.25\" Gain2=\"1\"><sub GAIN=\"3\"/></band>");

    const auto outcome = run (convertSettings ("gain", "y = x * 2;"));
    EXPECT_EQ (outcome.status, BatchOutcome::Status::completed);

    const auto band = parse (folder.read ("a.xml"));
    ASSERT_NE (band, nullptr);
    EXPECT_EQ (band->getStringAttribute ("gain"), "0.5");
    EXPECT_EQ (band->getStringAttribute ("Gain2"), "1");
    EXPECT_EQ (band->getChildByName ("sub")->getStringAttribute ("GAIN"), "6");
    EXPECT_EQ (alerts.titles(), juce::StringArray ({ "Batch processing finished" }));
}

TEST_F (ConvertRun, OnlyTheFirstOfSeveralMatchesOnOneElement)
{
    folder.write ("a.xml", "<e Gain=\"1\" gain=\"2\" GAIN=\"3\"/>");
    run (convertSettings ("gain", "x + 10"));
    EXPECT_EQ (folder.read ("a.xml"), std::string (header) + "<e Gain=\"11\" gain=\"2\" GAIN=\"3\"/>\r\n");
}

TEST_F (ConvertRun, CounterFormulaNumbersAcrossFilesAndRuns)
{
    folder.write ("a.xml", "<r><e v=\"0\"/><e v=\"0\"/></r>");
    folder.write ("b.xml", "<r v=\"0\"/>");

    run (convertSettings ("v", "n = n + 1; y = n;"));
    auto a = parse (folder.read ("a.xml"));
    EXPECT_EQ (a->getChildElement (0)->getStringAttribute ("v"), "1");
    EXPECT_EQ (a->getChildElement (1)->getStringAttribute ("v"), "2");
    EXPECT_EQ (parse (folder.read ("b.xml"))->getStringAttribute ("v"), "3");

    run (convertSettings ("v", "n = n + 1; y = n;"));
    EXPECT_EQ (parse (folder.read ("b.xml"))->getStringAttribute ("v"), "6");
}

TEST_F (ConvertRun, FormulaErrorInTheThirdOfFiveFilesStopsTheRun)
{
    for (auto name : { "1.xml", "2.xml", "4.xml", "5.xml" })
        folder.write (name, "<e v=\"1\"/>");
    folder.write ("3.xml", "<e v=\"0\"/>");

    const auto outcome = run (convertSettings ("v", "y = 1 / x;"));

    EXPECT_EQ (outcome.status, BatchOutcome::Status::aborted);
    EXPECT_FALSE (outcome.changedNothing());
    EXPECT_EQ (folder.read ("1.xml"), std::string (header) + "<e v=\"1\"/>\r\n");
    EXPECT_EQ (folder.read ("2.xml"), std::string (header) + "<e v=\"1\"/>\r\n");
    EXPECT_EQ (folder.read ("3.xml"), "<e v=\"0\"/>");
    EXPECT_EQ (folder.read ("4.xml"), "<e v=\"1\"/>");
    EXPECT_TRUE (outcome.log.endsWith ("processing file: " + path ("3.xml") + "...failed: division by zero\n"));
    EXPECT_FALSE (outcome.log.contains ("Batch processing finished"));

    ASSERT_EQ (alerts.alerts.size(), 1u);
    EXPECT_EQ (alerts.alerts[0].title, "Batch processing aborted");
    EXPECT_EQ (alerts.alerts[0].icon, AlertPresenter::Icon::warning);
    EXPECT_TRUE (alerts.alerts[0].message.contains (path ("3.xml")));
    EXPECT_TRUE (alerts.alerts[0].message.contains ("division by zero"));
}

TEST_F (ConvertRun, FileThatIsNotXmlIsLeftAloneAndCounted)
{
    folder.write ("a.xml", "<e v=\"1\"/>");
    folder.write ("b.xml", "this is not xml <<<");
    folder.write ("c.xml", "<e v=\"2\"/>");

    const auto outcome = run (convertSettings ("v", "x * 3"));
    EXPECT_EQ (outcome.status, BatchOutcome::Status::completed);
    EXPECT_EQ (outcome.filesFailed, 1);
    EXPECT_EQ (folder.read ("b.xml"), "this is not xml <<<");
    EXPECT_EQ (parse (folder.read ("c.xml"))->getStringAttribute ("v"), "6");
    EXPECT_TRUE (outcome.log.contains ("processing file: " + path ("b.xml") + "...failed: not an XML document"));
    ASSERT_EQ (alerts.alerts.size(), 1u);
    EXPECT_TRUE (alerts.alerts[0].message.contains ("1 file could not be processed"));
}

TEST_F (ConvertRun, FilesTheReaderWouldDamageAreLeftAlone)
{
    using namespace std::string_literals;
    const std::string good = "<e v=\"1\"/>";
    std::string nested;
    for (int level = 0; level < 3000; ++level)
        nested += "<a>";

    const std::pair<const char*, std::string> damaging[] = {
        { "latin1.xml", "<e v=\"1\" label=\"caf\xe9\"/>" },            // not UTF-8
        { "cut.xml", "<e v=\"1\" a=\"\xf0" },                               // cut inside a character
        { "entity.xml", "<e v=\"1\">a&nbsp;b &copy; 2024</e>" },           // the reader drops unknown entities
        { "zero.xml", "<e v=\"1\"/>\0<x/>"s },
        { "deep.xml", nested },                                              // would overflow the reader's stack
    };
    folder.write ("good.xml", good);
    for (const auto& [name, bytes] : damaging)
        folder.write (name, bytes);

    const auto outcome = run (convertSettings ("v", "x + 1"));
    EXPECT_EQ (outcome.status, BatchOutcome::Status::completed);
    EXPECT_EQ (outcome.filesFailed, 5);
    EXPECT_EQ (outcome.filesProcessed, 1);
    for (const auto& [name, bytes] : damaging)
    {
        EXPECT_EQ (folder.read (name), bytes) << name;
        EXPECT_TRUE (outcome.log.contains ("processing file: " + path (name) + "...failed: ")) << name;
    }
    EXPECT_TRUE (outcome.log.contains ("latin1.xml...failed: not UTF-8 text"));
    EXPECT_TRUE (outcome.log.contains ("deep.xml...failed: elements nested more than 2000 levels deep"));
    EXPECT_EQ (parse (folder.read ("good.xml"))->getStringAttribute ("v"), "2");
}

TEST_F (ConvertRun, Utf16FileIsConvertedAndWrittenAsUtf8)
{
    using namespace std::string_literals;
    folder.write ("wide.xml", "\xff\xfe<\0e\0 \0v\0=\0\"\0" "2\0\"\0/\0>\0"s);
    run (convertSettings ("v", "x * 3"));
    EXPECT_EQ (folder.read ("wide.xml"), std::string (header) + "<e v=\"6\"/>\r\n");
}

TEST_F (ConvertRun, ADoctypeNamingAFileDoesNotPullThatFileIn)
{
    folder.write ("secret.dtd", "<!ENTITY leak \"SECRET\">");
    folder.write ("a.xml", "<!DOCTYPE e SYSTEM \"" + folder.file ("secret.dtd").getFullPathName().toStdString()
                               + "\"><e v=\"1\">&leak;</e>");
    run (convertSettings ("v", "x + 1"));
    EXPECT_EQ (folder.read ("a.xml").find ("SECRET"), std::string::npos);
}

TEST_F (ConvertRun, FileWithoutMatchesGainsTheHeaderAndLayout)
{
    folder.write ("a.xml", "<root>\n<child other=\"5\"/>\n</root>\n");
    run (convertSettings ("gain", "y = x;"));
    EXPECT_EQ (folder.read ("a.xml"), std::string (header) + "<root>\r\n  <child other=\"5\"/>\r\n</root>\r\n");
}

TEST_F (ConvertRun, InvalidFormulaComesAfterTheBackupAndChangesNoFile)
{
    folder.write ("a.xml", "<e v=\"1\"/>");
    const auto outcome = run (convertSettings ("v", "y = "));

    EXPECT_EQ (outcome.status, BatchOutcome::Status::invalidFormula);
    EXPECT_TRUE (outcome.changedNothing());
    EXPECT_TRUE (folder.file ("QuillmereBackup.zip").existsAsFile());
    EXPECT_EQ (folder.read ("a.xml"), "<e v=\"1\"/>");
    ASSERT_EQ (alerts.titles(), juce::StringArray ({ "Invalid Formula" }));
    const auto lines = juce::StringArray::fromLines (alerts.alerts[0].message);
    ASSERT_EQ (lines.size(), 2);
    EXPECT_EQ (lines[0], "The formula you have entered could not be evaluated.");
    EXPECT_TRUE (lines[1].containsIgnoreCase ("syntax error")) << lines[1];
    EXPECT_EQ (outcome.log, "creating backup in file: " + path ("QuillmereBackup.zip") + "...done. \n");
}

TEST_F (ConvertRun, NonAsciiNamesAndValuesSurviveAsUtf8)
{
    folder.write ("a.xml", "<gr\xc3\xbc\xc3\x9f" "e st\xc3\xa4rke=\"2\" label=\"caf\xc3\xa9\"/>");
    run (convertSettings (juce::String::fromUTF8 ("ST\xc3\x84RKE"), "x * 2"));

    const auto bytes = folder.read ("a.xml");
    const auto element = parse (bytes);
    ASSERT_NE (element, nullptr) << bytes;
    EXPECT_EQ (element->getTagName(), juce::String::fromUTF8 ("gr\xc3\xbc\xc3\x9f" "e"));
    EXPECT_EQ (element->getStringAttribute (juce::String::fromUTF8 ("st\xc3\xa4rke")), "4");
    EXPECT_EQ (element->getStringAttribute ("label"), juce::String::fromUTF8 ("caf\xc3\xa9"));
}

TEST_F (ConvertRun, TextContentIsReachedThroughTheAttributeText)
{
    folder.write ("a.xml", "<v>21</v>");
    run (convertSettings ("text", "x * 2"));
    EXPECT_EQ (parse (folder.read ("a.xml"))->getAllSubText(), "42");
}

TEST (AttributeConverterForms, NumbersReadAndWritten)
{
    struct { const char* before; const char* formula; const char* after; } cases[] = {
        { "12abc", "y = x;", "12" }, { "abc", "y = x;", "0" }, { "", "y = x;", "0" },
        { "1.50", "y = x;", "1.5" }, { "007", "y = x;", "7" }, { "0.1234567891", "y = x;", "0.123456789" },
        { "1", "x / 3", "0.333333333" }, { "0.00001", "y = x;", "1e-005" }, { "1234567891", "y = x;", "1.23456789e+009" },
        { "0", "-x", "-0" }, { "400", "pow(10, x)", "inf" }, { "400", "-pow(10, x)", "-inf" },
        { "0.5", "pow(-1, x)", "nan" },
    };

    FormulaEngine engine;
    for (const auto& c : cases)
    {
        ASSERT_TRUE (engine.setFormula (c.formula)) << c.formula;
        juce::XmlElement element ("e");
        element.setAttribute ("v", c.before);
        AttributeConverter (engine, "v").convert (element);
        EXPECT_EQ (element.getStringAttribute ("v"), c.after) << c.before << " with " << c.formula;
    }
}
