#pragma once

#include <string>

/** One change an operation made to a file's text, for a report. */
struct TextChange
{
    int line = 1, column = 1;  // where the old text starts, from 1; columns count characters
    std::string before, after; // UTF-8
    int step = 1;              // the step of a recipe that made it, from 1
};
