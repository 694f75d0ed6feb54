#include "BatchJob.h"
#include "BatchOperationFactory.h"
#include "BatchPreview.h"
#include "QuillmereLookAndFeel.h"

#include "support/BatchFixture.h"

namespace
{
    class BatchJobTest : public BatchFixture
    {
    protected:
        /** Runs job to its end, taking its log as it grows. */
        juce::String runToEnd (BatchJob& job)
        {
            juce::String log;
            job.start();
            while (! job.isFinished())
            {
                log << job.takeNewLog();
                juce::Thread::sleep (1);
            }
            return log + job.takeNewLog();
        }
    };
}

TEST_F (BatchJobTest, APreviewStreamsTheTextAPreviewWritesWholeAndCountsTheFiles)
{
    for (int i = 0; i < 12; ++i)
        folder.write ("kit" + juce::String (i) + ".xml", ("<k>\n<i v=\"" + juce::String (i) + "\"/>\n<i v=\"7\"/>\n</k>\n").toStdString());
    const auto settings = convertSettings ("v", "y = x / 4;");

    const auto job = BatchJob::forPreview (settings, engine);
    const auto log = runToEnd (*job);
    EXPECT_EQ (job->getProgressText(), "12 of 12 files");

    // The same preview, all at once, and with the values recorded as the window records them.
    const auto operation = BatchOperationFactory::create (settings, &engine);
    ASSERT_FALSE (BatchOperation::prepareForRun (operation.get()).isRefused());
    operation->setRecordsChanges (true);
    BatchPreview::Options options;
    options.changedLines = true;
    BatchPreview preview (*operation, options);
    std::vector<BatchPreview::FilePreview> files;
    const auto summary = preview.run ([&files] (const auto& file) { files.push_back (file); });
    EXPECT_EQ (log, "Preview: nothing was written\n\n" + BatchPreview::windowText (files, summary));
    EXPECT_TRUE (log.contains ("values that were whole numbers get decimals")) << log;
}

TEST (ChoiceList, OpensInsideTheWindowInTheChoicesFont)
{
    QuillmereLookAndFeel look;
    juce::Component window;
    juce::ComboBox choice;
    juce::Label text;
    window.setSize (400, 300);
    window.addAndMakeVisible (choice);
    const auto options = look.getOptionsForComboBoxPopupMenu (choice, text);
    EXPECT_EQ (options.getParentComponent(), &window) << "a list in a window of its own runs past the window's edge";
    EXPECT_EQ (look.getPopupMenuFont().getHeight(), look.getComboBoxFont (choice).getHeight());
}
