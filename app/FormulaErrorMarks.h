#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    Carets under the characters of the formula field that an error names, as
    the formula calculator prints them under a formula on the command line.
    It lies just below the field, takes no clicks, and is hidden while the
    formula is valid.
*/
class FormulaErrorMarks : public juce::Component
{
public:
    FormulaErrorMarks();

    /** Marks characters first..last (from 0, both inclusive) of field's text;
        nothing is marked when first is negative (an error without a place). */
    void mark (juce::Label& field, int first, int last);
    void clear();

    /** The characters marked, {-1, -1} when none. */
    std::pair<int, int> getMarkedRange() const { return { first, last }; }

    void paint (juce::Graphics& g) override;

    static constexpr int height = 10;

private:
    juce::Label* field = nullptr;
    int first = -1, last = -1;
};
