// How much making rewritten files durable costs: a few thousand small files
// rewritten the way a run rewrites them (a temporary file beside each, then
// a rename over it), with no sync, with fsync or fdatasync of each file
// before its rename, and with one syncfs for the whole batch before the
// renames. Prints the figures; run it on the disk the folders live on.
//
//     bench_sync [FOLDER] [FILES]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
    enum class Sync
    {
        none,
        fsyncEach,
        fdatasyncEach,
        syncfsOnce
    };

    const char* nameOf (Sync sync)
    {
        switch (sync)
        {
            case Sync::none: return "no sync";
            case Sync::fsyncEach: return "fsync per file";
            case Sync::fdatasyncEach: return "fdatasync per file";
            case Sync::syncfsOnce: return "one syncfs per batch";
        }
        return "";
    }

    void fail (const char* what)
    {
        std::perror (what);
        std::exit (1);
    }

    void writeAll (int file, const std::string& bytes)
    {
        if (::write (file, bytes.data(), bytes.size()) != (ssize_t) bytes.size())
            fail ("write");
    }

    double rewrite (int folder, int files, Sync sync, int round)
    {
        const std::string contents = "<preset name=\"round " + std::to_string (round) + "\" gain=\"0.5\"/>\n" + std::string (2000, ' ');
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::string> pending;
        for (int i = 0; i < files; ++i)
        {
            const auto temporary = ".tmp-" + std::to_string (i);
            const int file = ::openat (folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (file < 0)
                fail ("openat");
            writeAll (file, contents);
            if ((sync == Sync::fsyncEach && ::fsync (file) != 0) || (sync == Sync::fdatasyncEach && ::fdatasync (file) != 0))
                fail ("sync");
            ::close (file);
            pending.push_back (temporary);
            if (sync != Sync::syncfsOnce)
            {
                if (::renameat (folder, temporary.c_str(), folder, ("f" + std::to_string (i) + ".xml").c_str()) != 0)
                    fail ("renameat");
                pending.clear();
            }
        }
        if (sync == Sync::syncfsOnce)
        {
            if (::syncfs (folder) != 0)
                fail ("syncfs");
            for (int i = 0; i < files; ++i)
                if (::renameat (folder, pending[(size_t) i].c_str(), folder, ("f" + std::to_string (i) + ".xml").c_str()) != 0)
                    fail ("renameat");
        }
        return std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
    }
}

int main (int argc, char* argv[])
{
    const std::string base = argc > 1 ? argv[1] : ".";
    const int files = argc > 2 ? std::atoi (argv[2]) : 3000;
    const auto path = base + "/sync-bench-" + std::to_string (::getpid());
    if (::mkdir (path.c_str(), 0755) != 0)
        fail ("mkdir");
    const int folder = ::open (path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        fail ("open");

    rewrite (folder, files, Sync::none, 0); // the files exist from here on, as in a run
    ::syncfs (folder);
    std::printf ("%d files of 2 KB in %s\n", files, path.c_str());
    int round = 1;
    for (const auto sync : { Sync::none, Sync::fsyncEach, Sync::fdatasyncEach, Sync::syncfsOnce })
    {
        double best = 1e9;
        for (int repeat = 0; repeat < 3; ++repeat, ++round)
        {
            ::syncfs (folder); // each measurement starts with nothing left to write
            best = std::min (best, rewrite (folder, files, sync, round));
        }
        std::printf ("%-22s %8.3f s  %8.1f us per file\n", nameOf (sync), best, best * 1e6 / files);
    }

    for (int i = 0; i < files; ++i)
        ::unlinkat (folder, ("f" + std::to_string (i) + ".xml").c_str(), 0);
    ::close (folder);
    ::rmdir (path.c_str());
    return 0;
}
