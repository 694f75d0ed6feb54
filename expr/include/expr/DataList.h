#pragma once

#include <expr/DataEntry.h>

#include <memory>
#include <string>
#include <vector>

namespace Expr
{

    /** A registry of named opaque objects that function arguments written as an
    at sign and a name refer to. Entries are never removed and never move;
    parsed formulas keep the addresses of their object slots, so the list must
    outlive every expression parsed against it. */
    class DataList
    {
    public:
        /** An empty list. */
        DataList();
        /** Destroys every entry and the objects they hold. */
        ~DataList();
        DataList (const DataList&) = delete;
        DataList& operator= (const DataList&) = delete;

        /** Appends an entry with a null object; throws AlreadyExistsException
        (text: the name) when the name is present. */
        void Add (const std::string& name);

        /** The address of the named entry's object pointer, or null. */
        DataObject** SlotOf (const std::string& name);

        /** The number of entries. */
        int Count() const;
        /** The entry at index 0 .. Count() - 1, in the order they were added. */
        DataEntry& EntryAt (int index);

    private:
        std::vector<std::unique_ptr<DataEntry>> entries;
    };

} // namespace Expr
