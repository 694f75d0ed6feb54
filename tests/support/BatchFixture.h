#pragma once

#include "BatchAlerts.h"
#include "BatchRun.h"
#include "FileManager.h"
#include "ConvertParameters.h"
#include "FormulaEngine.h"
#include "OperationRegistry.h"
#include "ReplaceParameters.h"
#include "UnicodeCharacterClasses.h"
#include "support/RecordingAlerts.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

/** A folder of files, a run over its "*.xml" files, and what the run reported. */
class BatchFixture : public testing::Test
{
protected:
    BatchFixture() { enableUnicodeCharacterClasses(); }

    juce::Array<juce::File> listedFiles (bool recursive = false) const
    {
        struct Lister : FileManager
        {
        } lister;
        lister.currentDirectory = folder.path();
        lister.wildcardPattern = "*.xml";
        lister.searchRecursively = recursive;
        lister.rescan();

        juce::Array<juce::File> result;
        for (const auto* file : lister.files)
            result.add (*file);
        return result;
    }

    BatchSettings replaceSettings (const juce::String& what, const juce::String& with, bool recursive = false) const
    {
        BatchSettings settings;
        settings.operation = OperationRegistry::named ("replace string");
        settings.parameters = ReplaceParameters { what, with }.toParameters();
        settings.directoryPath = folder.path();
        settings.files = listedFiles (recursive);
        return settings;
    }

    static BatchSettings restoreSettings (const juce::File& archive)
    {
        BatchSettings settings;
        settings.operation = OperationRegistry::named ("restore backup");
        settings.parameters.setFile ("archive", archive);
        return settings;
    }

    BatchSettings convertSettings (const juce::String& attribute, const juce::String& formula) const
    {
        BatchSettings settings;
        settings.operation = OperationRegistry::named ("convert value");
        settings.parameters = ConvertParameters { attribute, formula }.toParameters();
        settings.directoryPath = folder.path();
        settings.files = listedFiles();
        return settings;
    }

    BatchOutcome run (BatchSettings settings)
    {
        alerts.alerts.clear();
        reporter = {};
        const auto outcome = BatchRun (settings, &engine, reporter).run();
        BatchAlerts::show (alerts, outcome);
        return outcome;
    }

    juce::String path (const juce::String& relative) const { return folder.file (relative).getFullPathName(); }

    TestFolder folder;
    FormulaEngine engine;
    RecordingAlerts alerts;
    RecordingReporter reporter;
};
