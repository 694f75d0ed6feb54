#include "UnicodeCharacterClasses.h"

#include <clocale>
#include <initializer_list>

void enableUnicodeCharacterClasses()
{
    // The user's own locale last: a C library without UTF-8 locales (the one
    // Windows programs link) knows every letter's case in it.
    for (const char* name : { "C.UTF-8", "C.utf8", "en_US.UTF-8", "" })
        if (std::setlocale (LC_CTYPE, name) != nullptr)
            return;
}
