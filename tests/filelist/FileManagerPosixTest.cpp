// The file list where only POSIX sets the scene: a named pipe among the
// files, and folders deeper than the system's limit on path names, made
// by descriptor, beside one that cannot be read.
#include "filelist/XmlFileManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TEST (FileManager, NamedPipesAreNotListed)
{
    TestFolder folder;
    folder.write ("a.xml", "");
    ASSERT_EQ (mkfifo (folder.file ("pipe.xml").getFullPathName().toRawUTF8(), 0600), 0);

    XmlFileManager manager (folder);
    EXPECT_EQ (listedNames (manager), juce::StringArray ({ "a.xml" }));
}

// A file deeper than the system's limit on path names is listed all the
// same; a folder that cannot be read gets a line instead of silence.
TEST (FileManager, ReachesPathsLongerThanTheSystemLimitAndNamesWhatItCannotList)
{
    TestFolder folder;
    int current = ::open (folder.path().toRawUTF8(), O_RDONLY | O_DIRECTORY);
    const std::string part (230, 'd');
    for (int depth = 0; depth < 20; ++depth)
    {
        ASSERT_EQ (::mkdirat (current, part.c_str(), 0755), 0);
        const int next = ::openat (current, part.c_str(), O_RDONLY | O_DIRECTORY);
        ::close (current);
        current = next;
    }
    const int file = ::openat (current, "deep.xml", O_WRONLY | O_CREAT, 0644);
    ::close (file);
    ::close (current);
    folder.write ("closed/a.xml", "");
    ::chmod (folder.file ("closed").getFullPathName().toRawUTF8(), 0);

    // As root every folder can be read: the listing is then made as nobody.
    const auto listsAsItShould = [&] {
        XmlFileManager manager (folder, true);
        return listedNames (manager) == juce::StringArray ({ "deep.xml" })
            && manager.files[0]->getFullPathName().getNumBytesAsUTF8() > 4448
            && manager.unlisted == juce::StringArray ({ "cannot list the folder " + folder.file ("closed").getFullPathName() + " (Permission denied)" });
    };
    if (::geteuid() != 0)
    {
        EXPECT_TRUE (listsAsItShould());
    }
    else
    {
        const auto child = ::fork();
        if (child == 0)
            ::_exit (::setresgid (65534, 65534, 65534) == 0 && ::setresuid (65534, 65534, 65534) == 0 && listsAsItShould() ? 0 : 1);
        int status = -1;
        ::waitpid (child, &status, 0);
        EXPECT_EQ (status, 0);
    }

    // TestFolder removes its folder by name, which cannot reach that deep.
    ::chmod (folder.file ("closed").getFullPathName().toRawUTF8(), 0755);
    std::system (("rm -rf '" + folder.path() + "/" + juce::String (part) + "'").toRawUTF8());
}
