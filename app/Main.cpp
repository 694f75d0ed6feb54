#include "Quillmere.h"

// Creates one Quillmere object and runs the framework's message loop with it.
START_JUCE_APPLICATION (Quillmere)
