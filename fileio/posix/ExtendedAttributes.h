#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <vector>

/**
    A file's extended attributes, its access control list among them (which
    the system keeps as the attribute "system.posix_acl_access"): what a new
    version must carry over from the file it replaces, so that nobody gains
    or loses access and no tag is dropped.

    A file is named by a single name in an open folder and read without
    following a link at that name.
*/
class ExtendedAttributes
{
public:
    struct Attribute
    {
        std::string name, value;
    };

    /** The attributes of the file leaf in folder, as far as this process may
        see them; none on a file system that has none. */
    static juce::Result read (int folder, const std::string& leaf, std::vector<Attribute>& attributes);

    /** Gives the open file exactly the access list of attributes (one it
        inherited from its folder and the old file lacks goes) and every other
        attribute. An attribute that cannot be set fails with its name and the
        reason, unless the file already has that value. aclChanged is set when
        the access list was set or removed, which also sets the group bits of
        the file's mode. */
    static juce::Result write (int file, const std::vector<Attribute>& attributes, bool& aclChanged);

    /** Whether the file leaf in folder (or the folder itself, for an empty
        leaf) has an access list beyond its permission bits. A file whose
        list cannot be looked at counts as having one. */
    static bool hasAccessList (int folder, const std::string& leaf);

    static constexpr const char* accessListName = "system.posix_acl_access";
};
