#include "ExtendedAttributes.h"

#include "FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace
{
    bool isUnsupported (int error)
    {
        return error == ENOTSUP || error == EOPNOTSUPP;
    }

    /** The file as /proc shows it through the folder's descriptor: the
        l*xattr calls on it neither follow a link at the name nor look the
        folder up again by its path. */
    std::string viewOf (int folder, const std::string& leaf)
    {
        auto view = "/proc/self/fd/" + std::to_string (folder);
        return leaf.empty() ? view : view + "/" + leaf;
    }

    bool procIsThere()
    {
        static const bool there = ::access ("/proc/self/fd", X_OK) == 0;
        return there;
    }

    /** Where /proc is missing the file is opened instead, which needs read
        permission; a link at the name is not followed. */
    FileDescriptor opened (int folder, const std::string& leaf)
    {
        if (leaf.empty())
            return FileDescriptor (::fcntl (folder, F_DUPFD_CLOEXEC, 0));
        return FileDescriptor (::openat (folder, leaf.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    }

    /** Calls one of the two ways (by the /proc view, or by descriptor). */
    template<class ByView, class ByDescriptor>
    ssize_t attributeCall (int folder, const std::string& leaf, ByView byView, ByDescriptor byDescriptor)
    {
        if (procIsThere())
            return byView (viewOf (folder, leaf).c_str());
        const auto file = opened (folder, leaf);
        return file.isOpen() ? byDescriptor (file.get()) : -1;
    }

    juce::Result failure (const std::string& what, int error)
    {
        return juce::Result::fail (juce::String (what) + " (" + juce::String (std::strerror (error)) + ")");
    }

    /** Reads a size-then-bytes answer into buffer, growing it while the value grows meanwhile. */
    template<class Call>
    ssize_t readGrowing (std::string& buffer, Call call)
    {
        for (int attempt = 0; attempt < 8; ++attempt)
        {
            const auto size = call (nullptr, 0);
            if (size <= 0)
                return size;
            buffer.resize ((size_t) size);
            const auto got = call (buffer.data(), buffer.size());
            if (got >= 0)
            {
                buffer.resize ((size_t) got);
                return got;
            }
            if (errno != ERANGE)
                return -1;
        }
        errno = ERANGE;
        return -1;
    }

    bool holds (int file, const ExtendedAttributes::Attribute& attribute)
    {
        std::string value;
        const auto got = readGrowing (value, [&] (char* into, size_t size) { return ::fgetxattr (file, attribute.name.c_str(), into, size); });
        return got >= 0 && value == attribute.value;
    }
}

juce::Result ExtendedAttributes::read (int folder, const std::string& leaf, std::vector<Attribute>& attributes)
{
    attributes.clear();
    std::string names;
    const auto listed = readGrowing (names, [&] (char* into, size_t size) {
        return attributeCall (
            folder, leaf, [&] (const char* path) { return ::llistxattr (path, into, size); },
            [&] (int file) { return ::flistxattr (file, into, size); });
    });
    if (listed < 0)
        return isUnsupported (errno) ? juce::Result::ok() : failure ("cannot read the file's extended attributes", errno);

    for (size_t at = 0; at < names.size(); at = names.find ('\0', at) + 1)
    {
        Attribute attribute { names.c_str() + at, {} };
        const auto got = readGrowing (attribute.value, [&] (char* into, size_t size) {
            return attributeCall (
                folder, leaf, [&] (const char* path) { return ::lgetxattr (path, attribute.name.c_str(), into, size); },
                [&] (int file) { return ::fgetxattr (file, attribute.name.c_str(), into, size); });
        });
        if (got < 0 && errno == ENODATA)
            continue; // removed since it was listed
        if (got < 0)
            return failure ("cannot read the file's extended attribute " + attribute.name, errno);
        attributes.push_back (std::move (attribute));
    }
    return juce::Result::ok();
}

juce::Result ExtendedAttributes::write (int file, const std::vector<Attribute>& attributes, bool& aclChanged)
{
    aclChanged = false;
    const auto isAccessList = [] (const Attribute& attribute) { return attribute.name == accessListName; };
    if (std::none_of (attributes.begin(), attributes.end(), isAccessList))
    {
        // A folder with a default list gives it to every new file: the new
        // version must not let in anyone the old file kept out.
        if (::fgetxattr (file, accessListName, nullptr, 0) >= 0)
        {
            if (::fremovexattr (file, accessListName) != 0)
                return failure ("cannot keep the file's access list", errno);
            aclChanged = true;
        }
    }

    for (const auto& attribute : attributes)
    {
        if (::fsetxattr (file, attribute.name.c_str(), attribute.value.data(), attribute.value.size(), 0) != 0)
        {
            const int error = errno;
            if (! holds (file, attribute))
                return failure ("cannot keep the file's extended attribute " + attribute.name, error);
            continue;
        }
        aclChanged = aclChanged || isAccessList (attribute);
    }
    return juce::Result::ok();
}

bool ExtendedAttributes::hasAccessList (int folder, const std::string& leaf)
{
    // The folder itself is reached through the /proc link, which must be followed.
    const auto size = attributeCall (
        folder, leaf,
        [&leaf] (const char* path) {
            return leaf.empty() ? ::getxattr (path, accessListName, nullptr, 0) : ::lgetxattr (path, accessListName, nullptr, 0);
        },
        [] (int file) { return ::fgetxattr (file, accessListName, nullptr, 0); });
    if (size >= 0)
        return true;
    return ! (errno == ENODATA || isUnsupported (errno));
}
