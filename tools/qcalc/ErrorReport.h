#pragma once

#include <expr/Exception.h>

#include <string>

/** The report of a formula error: the formula line by line, under each line
    that holds part of the error's characters a line of carets under exactly
    those characters, and last the error in words. No caret line when the
    error has no position. Every line ends with a line feed. */
std::string FormatErrorReport (const std::string& formula, const Expr::Exception& error);

/** One line of spaces (tabs kept, so that the carets line up under tabbed
    text) with carets under the characters first..last of the line, both
    inclusive and relative to the line's start. */
std::string CaretLine (const std::string& line, int first, int last);
