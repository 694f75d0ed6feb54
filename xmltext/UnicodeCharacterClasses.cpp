#include "UnicodeCharacterClasses.h"

#include <clocale>
#include <initializer_list>

void enableUnicodeCharacterClasses()
{
    for (const char* name : { "C.UTF-8", "C.utf8", "en_US.UTF-8" })
        if (std::setlocale (LC_CTYPE, name) != nullptr)
            return;
}
