#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

/** The id of a process that ran and has ended (and been waited for): the
    process a temporary file left by a killed run names. -1 when none could
    be started. */
struct EndedProcess
{
    static int id()
    {
#if defined(_WIN32)
        wchar_t command[] = L"cmd.exe /c exit 0";
        STARTUPINFOW startup {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process {};
        if (! CreateProcessW (nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process))
            return -1;
        WaitForSingleObject (process.hProcess, INFINITE);
        CloseHandle (process.hThread);
        CloseHandle (process.hProcess);
        return (int) process.dwProcessId;
#else
        const auto child = ::fork();
        if (child == 0)
            ::_exit (0);
        if (child < 0 || ::waitpid (child, nullptr, 0) != child)
            return -1;
        return (int) child;
#endif
    }
};
