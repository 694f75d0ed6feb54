#pragma once

#include "FileRewrite.h"
#include "RegexReplacement.h"

#include <vector>

/**
    Several replace steps applied to a file's text in one scan: at each
    place the first step that matches there wins, its replacement goes in,
    and the scan goes on after the matched text. Replaced text is never
    scanned again, so "cat" by "dog" followed by "dog" by "cat" swaps the
    two words. Matches do not overlap; after an empty match the scan goes on
    one character further. One step alone replaces exactly as it would by
    itself.

    The steps are owned elsewhere and must outlive the group.
*/
class ReplaceGroup
{
public:
    /** Adds a prepared step. label names it in a failure ("step 2 (replace
        a b)"); empty for a step that is the whole operation. */
    void add (RegexReplacement& replacement, int step, juce::String label);

    /** Removes every step. */
    void clear() { members.clear(); }

    /** Whether apply() lists each change in the rewrite's changeList. */
    void setRecordsChanges (bool records) { recordsChanges = records; }

    /** The file's bytes with every winning match replaced. A file that fails
        keeps every byte: the reason names the step, if it has a label.
        Formula evaluation errors pass through as Expr::Exception, after
        failingLabel() names the step whose formula failed. */
    FileRewrite apply (std::string_view original);

    /** The label of the step whose formula threw in the last apply(). */
    const juce::String& failingLabel() const { return failing; }

private:
    struct Member
    {
        RegexReplacement* replacement;
        int step;
        juce::String label;
    };

    juce::Result failureOf (const Member& member, const juce::Result& reason) const;

    std::vector<Member> members;
    bool recordsChanges = false;
    juce::String failing;
};
