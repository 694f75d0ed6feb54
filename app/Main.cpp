#include "ProcessFacts.h"
#include "Quillmere.h"

namespace
{
    // Set before main(), so before any thread of the framework reads the environment.
    [[maybe_unused]] const bool timeZoneNamed = ProcessFacts::nameTimeZone();
}

// Creates one Quillmere object and runs the framework's message loop with it.
START_JUCE_APPLICATION (Quillmere)
