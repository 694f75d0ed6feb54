#pragma once

/**
    What an operation found in one file's bytes before rewriting it, in work
    that needs nothing the run changes (for "convert value", the values the
    XML parser found). Each operation that analyses derives its own.
*/
class FileAnalysis
{
public:
    virtual ~FileAnalysis() = default;
};
