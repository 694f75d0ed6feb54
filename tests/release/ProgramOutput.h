#pragma once

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

// Runs a program through the shell and keeps its standard output and exit status.
struct ProgramOutput
{
    std::string output;
    int exitStatus = -1;

    static ProgramOutput of (const std::string& commandLine)
    {
        ProgramOutput result;
        FILE* pipe = popen (commandLine.c_str(), "r");
        if (pipe == nullptr)
            return result;
        char buffer[4096];
        size_t count = 0;
        while ((count = std::fread (buffer, 1, sizeof buffer, pipe)) > 0)
            result.output.append (buffer, count);
        const int status = pclose (pipe);
        result.exitStatus = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
        return result;
    }
};

inline std::string ReadTextFile (const std::string& path)
{
    std::ifstream file (path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
