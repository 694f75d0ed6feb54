#pragma once

/** Makes the C library's wide-character tables (towlower and friends) know
    the letters beyond ASCII, so that attribute names such as "STÄRKE" and
    "stärke" match ignoring case, as the framework's own text comparisons do.
    Under the default "C" locale only ASCII letters have a case. Only
    LC_CTYPE changes: number formats stay those of the "C" locale. Call once
    at start-up. */
void enableUnicodeCharacterClasses();
