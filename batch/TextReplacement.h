#pragma once

#include "FileRewrite.h"

#include <juce_core/juce_core.h>

#include <string>
#include <string_view>

/**
    The text replacement of the "replace string" run, on a file's raw bytes.

    The search and replacement texts are encoded in the file's own encoding
    (see XmlTextEncoding): UTF-8, Latin-1 or US-ASCII, or UTF-16 in the byte
    order of its mark. Only the bytes of each match change; line ends, the
    byte-order mark and every other byte stay as they were.
*/
class TextReplacement
{
public:
    /** Replaces every occurrence of what (non-empty) by with, left to right and
        never overlapping. Fails, naming why, when the file's encoding is not
        one the tool handles or cannot hold one of the texts. The same scan
        as a run's (ReplaceGroup), for callers with one text and no run. */
    static FileRewrite apply (std::string_view original, const juce::String& what, const juce::String& with);

    /** The line-end rule of the log file: every line feed that is not
        preceded by a carriage return becomes CR LF. */
    static std::string withCrLf (std::string_view text);
};
