#pragma once

/** Makes the C library's character classes (iswalnum and friends) know the
    letters beyond ASCII. The framework's XML reader asks them whether a
    character may stand in a tag or attribute name, and under the default "C"
    locale it refuses every non-ASCII name. Only LC_CTYPE changes: number
    formats stay those of the "C" locale. Call once at start-up. */
void enableUnicodeCharacterClasses();
