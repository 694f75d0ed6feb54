#include "AttributeConverter.h"
#include "support/BatchFixture.h"

using ConvertRun = BatchFixture;

namespace
{
    std::unique_ptr<juce::XmlElement> parse (const std::string& text)
    {
        return juce::XmlDocument::parse (juce::String::fromUTF8 (text.data(), (int) text.size()));
    }
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
    EXPECT_EQ (folder.read ("a.xml"), "<e Gain=\"11\" gain=\"2\" GAIN=\"3\"/>");
}

TEST_F (ConvertRun, CounterFormulaNumbersAcrossFilesAndRuns)
{
    folder.write ("a.xml", "<r><e v=\"0\"/><e v=\"0\"/></r>");
    folder.write ("b.xml", "<r v=\"0\"/>");

    run (convertSettings ("v", "n = n + 1; y = n;"));
    EXPECT_EQ (folder.read ("a.xml"), "<r><e v=\"1\"/><e v=\"2\"/></r>");
    EXPECT_EQ (folder.read ("b.xml"), "<r v=\"3\"/>");

    run (convertSettings ("v", "n = n + 1; y = n;"));
    EXPECT_EQ (folder.read ("b.xml"), "<r v=\"6\"/>");
}

TEST_F (ConvertRun, FormulaErrorInTheThirdOfFiveFilesStopsTheRun)
{
    for (auto name : { "1.xml", "2.xml", "4.xml", "5.xml" })
        folder.write (name, "<e v=\"2\"/>");
    folder.write ("3.xml", "<e v=\"0\"/>");

    const auto outcome = run (convertSettings ("v", "y = 1 / x;"));

    EXPECT_EQ (outcome.status, BatchOutcome::Status::aborted);
    EXPECT_FALSE (outcome.changedNothing());
    EXPECT_EQ (folder.read ("1.xml"), "<e v=\"0.5\"/>");
    EXPECT_EQ (folder.read ("2.xml"), "<e v=\"0.5\"/>");
    EXPECT_EQ (folder.read ("3.xml"), "<e v=\"0\"/>");
    EXPECT_EQ (folder.read ("4.xml"), "<e v=\"2\"/>");
    EXPECT_TRUE (outcome.log.endsWith ("processing file: " + path ("3.xml") + "...failed: division by zero\n"));
    EXPECT_FALSE (outcome.log.contains ("Batch processing finished"));
    EXPECT_TRUE (folder.file ("QuillmereBackup.zip").existsAsFile()); // two files changed: it is needed

    ASSERT_EQ (alerts.alerts.size(), 1u);
    EXPECT_EQ (alerts.alerts[0].title, "Batch processing aborted");
    EXPECT_EQ (alerts.alerts[0].icon, AlertPresenter::Icon::warning);
    EXPECT_TRUE (alerts.alerts[0].message.contains (path ("3.xml")));
    EXPECT_TRUE (alerts.alerts[0].message.contains ("division by zero"));
}

TEST_F (ConvertRun, TheStopAlertSaysFilesBeforeWereConvertedOnlyWhenSomeWere)
{
    for (const auto& [failing, convertedBefore] : { std::pair { "1.xml", false }, std::pair { "2.xml", true } })
    {
        folder.write ("1.xml", "<e v=\"2\"/>");
        folder.write ("2.xml", "<e v=\"2\"/>");
        folder.write (failing, "<e v=\"0\"/>");
        alerts.alerts.clear();
        run (convertSettings ("v", "y = 1 / x;"));
        ASSERT_EQ (alerts.alerts.size(), 1u);
        EXPECT_EQ (alerts.alerts[0].message.contains ("This file and the files after it are unchanged; the files before it were converted. "),
                   convertedBefore)
            << alerts.alerts[0].message;
        EXPECT_EQ (alerts.alerts[0].message.contains ("This file and the files after it are unchanged. "), ! convertedBefore)
            << alerts.alerts[0].message;
    }
}

TEST_F (ConvertRun, FilesThatAreNotWellFormedAreLeftAloneWithTheReason)
{
    using namespace std::string_literals;
    const std::pair<const char*, std::string> broken[] = {
        { "text.xml", "this is not xml <<<" },
        { "latin1.xml", "<e v=\"1\" label=\"caf\xe9\"/>" }, // undeclared, so UTF-8, which it is not
        { "cut.xml", "<e v=\"1\" a=\"\xf0" },
        { "entity.xml", "<e v=\"1\">a&nbsp;b</e>" }, // never declared
        { "zero.xml", "<e v=\"1\"/>\0<x/>"s },
        { "open.xml", "<a v=\"1\"><b>" },
    };
    folder.write ("good.xml", "<e v=\"1\"/>");
    for (const auto& [name, bytes] : broken)
        folder.write (name, bytes);

    const auto outcome = run (convertSettings ("v", "x + 1"));
    EXPECT_EQ (outcome.status, BatchOutcome::Status::completed);
    EXPECT_EQ (outcome.filesFailed, 6);
    EXPECT_EQ (outcome.filesProcessed, 1);
    for (const auto& [name, bytes] : broken)
    {
        EXPECT_EQ (folder.read (name), bytes) << name;
        EXPECT_TRUE (outcome.log.contains ("processing file: " + path (name) + "...failed: not an XML document: ")) << name;
    }
    EXPECT_TRUE (outcome.log.contains ("entity.xml...failed: not an XML document: undefined entity at line 1, column 11\n"))
        << outcome.log;
    EXPECT_EQ (folder.read ("good.xml"), "<e v=\"2\"/>");
    ASSERT_EQ (alerts.alerts.size(), 1u);
    EXPECT_TRUE (alerts.alerts[0].message.contains ("6 files could not be processed"));
}

TEST_F (ConvertRun, DeepNestingBehindACommentOfEndTagsIsConverted)
{
    const int depth = 50000;
    std::string document = "<!--", expected;
    for (int i = 0; i < 1000; ++i)
        document += "</x>";
    document += "-->";
    expected = document;
    for (int level = 0; level < depth; ++level)
    {
        document += "<x v=\"1\">";
        expected += "<x v=\"2\">";
    }
    for (int level = 0; level < depth; ++level)
    {
        document += "</x>";
        expected += "</x>";
    }
    folder.write ("deep.xml", document);

    const auto outcome = run (convertSettings ("v", "x * 2"));
    EXPECT_EQ (outcome.filesProcessed, 1) << outcome.log.substring (0, 500);
    EXPECT_TRUE (folder.read ("deep.xml") == expected);
}

TEST_F (ConvertRun, ADoctypeNamingAFileDoesNotPullThatFileIn)
{
    folder.write ("secret.dtd", "<!ENTITY leak \"SECRET\">");
    folder.write ("a.xml", "<!DOCTYPE e SYSTEM \"" + folder.file ("secret.dtd").getFullPathName().toStdString()
                               + "\"><e v=\"1\">&leak;</e>");
    run (convertSettings ("v", "x + 1"));
    EXPECT_EQ (folder.read ("a.xml").find ("SECRET"), std::string::npos);
}

TEST_F (ConvertRun, InvalidFormulaIsRefusedBeforeAnyBackup)
{
    folder.write ("a.xml", "<e v=\"1\"/>");
    const auto outcome = run (convertSettings ("v", "y = "));

    EXPECT_EQ (outcome.status, BatchOutcome::Status::refused);
    EXPECT_TRUE (outcome.changedNothing());
    EXPECT_FALSE (folder.file ("QuillmereBackup.zip").exists());
    EXPECT_EQ (folder.read ("a.xml"), "<e v=\"1\"/>");
    ASSERT_EQ (alerts.titles(), juce::StringArray ({ "Invalid Formula" }));
    const auto lines = juce::StringArray::fromLines (alerts.alerts[0].message);
    ASSERT_EQ (lines.size(), 2);
    EXPECT_EQ (lines[0], "The formula you have entered could not be evaluated.");
    EXPECT_TRUE (lines[1].containsIgnoreCase ("syntax error")) << lines[1];
    EXPECT_EQ (outcome.log, "");
}

TEST_F (ConvertRun, NonAsciiNamesMatchIgnoringCase)
{
    folder.write ("a.xml", "<gr\xc3\xbc\xc3\x9f"
                           "e st\xc3\xa4rke=\"2\" label=\"caf\xc3\xa9\"/>");
    run (convertSettings (juce::String::fromUTF8 ("ST\xc3\x84RKE"), "x * 2"));
    EXPECT_EQ (folder.read ("a.xml"), "<gr\xc3\xbc\xc3\x9f"
                                      "e st\xc3\xa4rke=\"4\" label=\"caf\xc3\xa9\"/>");
}

TEST_F (ConvertRun, CharacterDataIsNeverConverted)
{
    folder.write ("a.xml", "<v text=\"3\">21<w>7</w></v>");
    run (convertSettings ("text", "x * 2"));
    EXPECT_EQ (folder.read ("a.xml"), "<v text=\"6\">21<w>7</w></v>");
}

TEST_F (ConvertRun, ValuesWithoutANumberAreKeptAndCounted)
{
    folder.write ("a.xml", "<r><e gain=\"auto\"/><e gain=\"\"/><e gain=\"12abc\"/><e gain=\"inf\"/><e gain=\"-inf\"/><e gain=\"nan\"/></r>");
    const auto outcome = run (convertSettings ("gain", "x * 2"));
    EXPECT_EQ (folder.read ("a.xml"), "<r><e gain=\"auto\"/><e gain=\"\"/><e gain=\"24abc\"/><e gain=\"inf\"/><e gain=\"-inf\"/><e gain=\"nan\"/></r>");
    EXPECT_TRUE (outcome.log.contains ("a.xml...done. (2 values that are not numbers kept as they were) \n")) << outcome.log;
}

TEST (AttributeConverterForms, NumbersReadAndWritten)
{
    struct
    {
        const char* before;
        const char* formula;
        const char* after;
    } cases[] = {
        { "12abc", "y = x;", "12abc" },
        { "abc", "y = x;", "abc" },
        { "", "y = x;", "" },
        { "info", "x * 2", "info" },
        { "1.50", "y = x;", "1.50" },
        { "1.50", "x + 1", "2.5" },
        { "007", "y = x;", "007" },
        { "007", "x + 1", "8" },
        { "0.1234567891", "y = x;", "0.1234567891" },
        { "0.1234567891", "x * 1.5", "0.185185184" },
        { "1", "x / 3", "0.333333333" },
        { "0.00001", "y = x;", "0.00001" },
        { "0.00001", "x * 3", "3e-005" },
        { "1234567891", "y = x;", "1234567891" },
        { "1234567891", "x + 1", "1.23456789e+009" },
        { "0", "-x", "-0" },
        { "400", "pow(10, x)", "inf" },
        { "400", "-pow(10, x)", "-inf" },
        { "0.5", "pow(-1, x)", "nan" },
        { "-inf", "x * 2", "-inf" },
        { " Infinity ", "-x", " -inf " },
        { "NaN", "x", "NaN" },
        { "-0", "x * 0", "-0" },
        { "-0", "x + 0", "0" },
        { "1&#46;5", "y = x;", "1&#46;5" },
        { "1&#46;5", "x * 2", "3" },
    };

    FormulaEngine engine;
    for (const auto& c : cases)
    {
        ASSERT_TRUE (engine.setFormula (c.formula)) << c.formula;
        const auto rewrite = AttributeConverter (engine, "v").rewrite (std::string ("<e v=\"") + c.before + "\"/>");
        ASSERT_TRUE (rewrite.result.wasOk()) << rewrite.result.getErrorMessage();
        const auto bytes = rewrite.changes > 0 ? rewrite.bytes : std::string ("<e v=\"") + c.before + "\"/>";
        EXPECT_EQ (bytes, std::string ("<e v=\"") + c.after + "\"/>") << c.before << " with " << c.formula;
    }
}
