#pragma once

#include "support/TestFolder.h"

/** A folder a recipe swaps and rescales: a changes, b is not XML, c has nothing to change. */
struct RecipeFolder
{
    RecipeFolder()
    {
        folder.write ("a.xml", "<s>cat\n  <p gain=\"1\">dog</p></s>");
        folder.write ("b.xml", "cat, not XML");
        folder.write ("c.xml", "<s/>");
        recipe = place.write ("swap.recipe", "# swap, then count\n"
                                             "replace cat dog\n"
                                             "replace dog cat # one scan with the line above\n"
                                             "convert gain 'n = n + 1;\n"
                                             "              y = x * 10 + n'\n");
    }

    TestFolder folder, place;
    juce::File recipe;
};
