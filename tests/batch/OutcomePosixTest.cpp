// What only POSIX names and paths allow: names holding a newline or an
// escape character, and a file deeper than the system's limit on path
// names, reached by descriptor.
#include "BatchOperationFactory.h"
#include "BatchPreview.h"
#include "TaskDescription.h"
#include "support/BatchFixture.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Outcome = BatchFixture;

// Names with a newline or an escape character are escaped in the
// description, the log and the preview lines: none starts a line of its
// own or reaches a terminal raw.
TEST_F (Outcome, NamesWithControlCharactersAreEscapedInEveryOutput)
{
    const juce::String evil = juce::String::fromUTF8 ("x\n+++ b/pwned.sh\n@@ -0,0 +1 @@\n+echo pwned\n\x1b[31my");
    folder.write (evil + "/a.xml", "Blah");
    auto settings = replaceSettings ("Blah", "Blub", true);
    ASSERT_EQ (settings.files.size(), 1);
    auto operation = BatchOperationFactory::create (settings, &engine);
    ASSERT_FALSE (BatchOperation::prepareForRun (operation.get()).isRefused());

    juce::String previewText;
    BatchPreview (*operation, { true, true }).run ([&] (const BatchPreview::FilePreview& file) {
        previewText << BatchPreview::fileLine (file) << "\n"
                    << juce::String::fromUTF8 (file.diff.data(), (int) file.diff.size());
    });
    juce::StringArray outputs { buildTaskDescription (settings, operation.get()), previewText, run (settings).log };

    // A formula that fails names the file in the alert too.
    folder.write (evil + "/b.xml", "<a v=\"1\"/>");
    auto failing = convertSettings ("v", "y = sqrt(-1);");
    failing.recursive = true;
    failing.files = listedFiles (true);
    outputs.add (run (failing).log);
    ASSERT_FALSE (alerts.alerts.empty());
    for (const auto& alert : alerts.alerts)
        outputs.add (alert.message);
    EXPECT_TRUE (outputs.joinIntoString ("\n").contains ("The formula failed on \"")) << outputs.joinIntoString ("\n");

    for (const auto& output : outputs)
    {
        EXPECT_FALSE (output.containsChar (0x1b)) << output;
        for (const auto& line : juce::StringArray::fromLines (output))
            EXPECT_FALSE (line.startsWith ("+++ b/pwned") || line.startsWith ("+echo")) << output;
    }
    EXPECT_EQ (folder.read (evil + "/a.xml"), "Blub");
}

// A file deeper than the system's limit on path names is listed, backed up
// and rewritten like any other, reached folder by folder.
TEST_F (Outcome, AFileDeeperThanThePathLimitIsProcessed)
{
    const std::string part (230, 'd');
    const auto deep = [&] (const std::function<void (int folder)>& use) {
        int current = ::open (path ("").toRawUTF8(), O_RDONLY | O_DIRECTORY);
        for (int depth = 0; depth < 20; ++depth)
        {
            ::mkdirat (current, part.c_str(), 0755);
            const int next = ::openat (current, part.c_str(), O_RDONLY | O_DIRECTORY);
            ::close (current);
            current = next;
        }
        use (current);
        ::close (current);
    };
    deep ([] (int deepest) {
        const int file = ::openat (deepest, "deep.xml", O_WRONLY | O_CREAT, 0644);
        EXPECT_EQ (::write (file, "Blah", 4), 4);
        ::close (file);
    });

    const auto outcome = run (replaceSettings ("Blah", "Blub", true));
    EXPECT_EQ (outcome.filesChanged, 1) << outcome.log;
    char bytes[8] = {};
    deep ([&] (int deepest) {
        const int file = ::openat (deepest, "deep.xml", O_RDONLY);
        EXPECT_EQ (::read (file, bytes, sizeof bytes), 4);
        ::close (file);
    });
    EXPECT_EQ (std::string (bytes), "Blub");
    EXPECT_EQ (juce::ZipFile (outcome.backupFile).getNumEntries(), 1);
    std::system (("rm -rf '" + path (part) + "'").toRawUTF8());
}
