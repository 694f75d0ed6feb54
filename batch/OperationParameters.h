#pragma once

#include <juce_core/juce_core.h>

/**
    The parameters of one operation, each under the key its declaration
    gives it ("what", "formula", "archive"), held as the text a field or an
    argument gives. A flag is "1" when set; a file is its full path.
*/
class OperationParameters
{
public:
    juce::String text (const juce::String& key) const { return values[key]; }
    bool flag (const juce::String& key) const { return values[key] == "1"; }
    juce::File file (const juce::String& key) const;

    void set (const juce::String& key, const juce::String& value) { values.set (key, value); }
    void setFlag (const juce::String& key, bool on) { set (key, on ? "1" : "0"); }
    void setFile (const juce::String& key, const juce::File& file) { set (key, file.getFullPathName()); }

    bool has (const juce::String& key) const { return values.containsKey (key); }

private:
    juce::StringPairArray values { false }; // keys are compared exactly
};
