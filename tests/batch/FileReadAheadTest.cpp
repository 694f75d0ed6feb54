#include "AttributeConverter.h"
#include "ConvertOperation.h"
#include "FileReadAhead.h"
#include "FormulaEngine.h"
#include "support/BatchFixture.h"

#include <expr/Exception.h>

#include <chrono>
#include <random>
#include <thread>

using ReadAhead = BatchFixture;

namespace
{
    std::string valueFile (int number)
    {
        return "<e v=\"" + std::to_string (number) + "\"/>";
    }

    std::vector<const PlannedFile*> pointersTo (const std::vector<PlannedFile>& plan)
    {
        std::vector<const PlannedFile*> result;
        for (const auto& each : plan)
            result.push_back (&each);
        return result;
    }
}

// The run asks for the files in order, passing over some (skipped meanwhile)
// and asking for some it never listed: each answer is that file's own bytes
// and analysis, or nothing, and a request for a file not to come drops nothing.
TEST_F (ReadAhead, GivesEachFileItsOwnBytesInTheRunsOrder)
{
    juce::Array<juce::File> listed;
    for (int i = 0; i < 40; ++i)
        listed.add (folder.write ("f" + juce::String (i) + ".xml", valueFile (i)));
    listed.insert (5, folder.file ("missing.xml"));

    ConvertOperation operation (convertSettings ("v", "y = x;"), engine);
    const auto plan = PlannedFile::plan (folder.get(), listed);
    FileReadAhead ahead (operation, pointersTo (plan));

    const auto expectFile = [&] (const juce::String& name, const std::string& bytes) {
        const auto prepared = ahead.take (folder.file (name));
        ASSERT_TRUE (prepared.has_value()) << name;
        EXPECT_TRUE (prepared->read.wasOk()) << name;
        EXPECT_EQ (prepared->bytes, bytes) << name;
        EXPECT_EQ (prepared->analysis != nullptr, ! bytes.empty()) << name; // nothing to analyse in a missing file
    };

    expectFile ("f0.xml", valueFile (0));
    expectFile ("f3.xml", valueFile (3));                           // f1 and f2 were skipped
    EXPECT_FALSE (ahead.take (folder.file ("f1.xml")).has_value()); // already passed
    EXPECT_FALSE (ahead.take (folder.file ("other.xml")).has_value());
    expectFile ("f4.xml", valueFile (4)); // nothing dropped by the two misses
    expectFile ("missing.xml", "");
    expectFile ("f20.xml", valueFile (20));
    // The rest are never taken: destroying it must not wait for them.
}

// The run hands each file's bytes back for their memory to be used again:
// no byte of an earlier file may show in a later one, shorter or missing.
TEST_F (ReadAhead, BytesHandedBackNeverShowInALaterFile)
{
    juce::Array<juce::File> listed;
    std::vector<std::string> expected;
    for (int i = 0; i < 100; ++i)
    {
        const bool missing = i % 25 == 24;
        expected.push_back (missing ? std::string() : valueFile (i) + std::string ((size_t) (i % 3) * 2000, ' '));
        listed.add (missing ? folder.file ("m" + juce::String (i) + ".xml") : folder.write ("f" + juce::String (i) + ".xml", expected.back()));
    }

    ConvertOperation operation (convertSettings ("v", "y = x;"), engine);
    const auto plan = PlannedFile::plan (folder.get(), listed);
    FileReadAhead ahead (operation, pointersTo (plan));
    for (int i = 0; i < listed.size(); ++i)
    {
        auto prepared = ahead.take (listed[i]);
        ASSERT_TRUE (prepared.has_value()) << i;
        EXPECT_TRUE (prepared->bytes == expected[(size_t) i]) << i;
        ahead.giveBack (std::move (prepared->bytes));
    }
}

// A file written by someone else after it was read ahead is read again at
// its turn, so that the run never writes over that change. Whether the
// read-ahead got there first or not, the run must see the new bytes.
TEST_F (ReadAhead, AFileChangedAfterItWasReadAheadIsReadAgain)
{
    juce::Array<juce::File> listed;
    for (int i = 0; i < 3; ++i)
        listed.add (folder.write ("f" + juce::String (i) + ".xml", valueFile (i)));

    ConvertOperation operation (convertSettings ("v", "y = x;"), engine);
    const auto plan = PlannedFile::plan (folder.get(), listed);
    FileReadAhead ahead (operation, pointersTo (plan));
    std::this_thread::sleep_for (std::chrono::milliseconds (100)); // lets it read all three first, usually

    folder.write ("f1.xml", valueFile (1000));
    EXPECT_EQ (FileReadAhead::obtain (&ahead, operation, plan[0]).bytes, valueFile (0));
    const auto changed = FileReadAhead::obtain (&ahead, operation, plan[1]);
    EXPECT_EQ (changed.bytes, valueFile (1000));
    EXPECT_NE (changed.analysis, nullptr);
    EXPECT_EQ (FileReadAhead::obtain (&ahead, operation, plan[2]).bytes, valueFile (2));
}

// What the read-ahead found, converted afterwards, fails as a conversion
// done while parsing would: a formula error among the values before the
// place where the document stops being well-formed comes first.
TEST_F (ReadAhead, FormulaErrorsBeforeAParseErrorComeFirst)
{
    struct Row
    {
        const char* document;
        bool formulaError;
        bool parseError;
    };
    const Row rows[] = {
        { "<r><e v=\"2\"/><e v=\"0\"/><e", true, false },
        { "<r><e v=\"2\"/><e v=\"1\"/><e", false, true },
        { "<r><e v=\"2\"/></r><e v=\"0\"/>", false, true }, // the second root is past the error
        { "<r><e v=\"2\"/><e v=\"0\"/></r>", true, false },
    };

    ASSERT_TRUE (engine.setFormula ("y = 1 / x;"));
    AttributeConverter converter (engine, "v");
    for (const auto& row : rows)
    {
        const auto found = converter.findValues (row.document);
        bool formulaError = false;
        FileRewrite rewrite;
        try
        {
            rewrite = converter.rewrite (row.document, found);
        }
        catch (const Expr::Exception&)
        {
            formulaError = true;
        }

        EXPECT_EQ (formulaError, row.formulaError) << row.document;
        EXPECT_EQ (! formulaError && rewrite.result.failed(), row.parseError) << row.document;
    }
}

// Files parsed ahead on other threads are still converted one after the
// other in the run's order: a counter formula numbers every value of the
// folder consecutively, file by file, as a run without read-ahead would.
TEST_F (ReadAhead, ACounterFormulaNumbersValuesInTheRunsOrder)
{
    std::mt19937 random (7);
    std::vector<int> valuesPerFile;
    for (int i = 0; i < 60; ++i)
    {
        const int count = (int) (random() % 5);
        std::string document = "<r>";
        for (int k = 0; k < count; ++k)
            document += "<e v=\"0\"/>";
        folder.write (juce::String (i).paddedLeft ('0', 3) + ".xml", document + "</r>");
        valuesPerFile.push_back (count);
    }

    const auto outcome = run (convertSettings ("v", "n = n + 1; y = n;"));
    ASSERT_EQ (outcome.status, BatchOutcome::Status::completed);

    int counter = 0;
    for (int i = 0; i < 60; ++i)
    {
        std::string expected = "<r>";
        for (int k = 0; k < valuesPerFile[(size_t) i]; ++k)
            expected += "<e v=\"" + std::to_string (++counter) + "\"/>";
        EXPECT_EQ (folder.read (juce::String (i).paddedLeft ('0', 3) + ".xml"), expected + "</r>") << i;
    }
}
