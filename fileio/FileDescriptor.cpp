#include "FileDescriptor.h"

#include <unistd.h>

int FileDescriptor::reset()
{
    if (descriptor < 0)
        return 0;
    return ::close (std::exchange (descriptor, -1));
}
