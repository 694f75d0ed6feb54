#include "FilePermissions.h"

#include <sys/stat.h>

unsigned FilePermissions::strictestFor (const juce::Array<juce::File>& files)
{
    unsigned permissions = S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH;
    for (const auto& file : files)
    {
        struct stat info;
        if (::stat (file.getFullPathName().toRawUTF8(), &info) == 0)
            permissions &= (info.st_mode | S_IRUSR | S_IWUSR);
    }
    return permissions;
}
