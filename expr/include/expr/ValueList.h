#pragma once

#include <expr/ValueEntry.h>

#include <memory>
#include <string>
#include <vector>

namespace Expr
{

    /** The store of named numbers that formulas read and write.

    Entries keep their insertion order, are never removed, and their value
    cells never move: parsed formulas keep the addresses of those cells, so
    the list must outlive every expression parsed against it. Names are
    compared byte for byte; the empty string is a valid name. */
    class ValueList
    {
    public:
        /** An empty list: add E and PI with AddBuiltInConstants(). */
        ValueList();
        /** Destroys every entry. */
        ~ValueList();
        ValueList (const ValueList&) = delete;
        ValueList& operator= (const ValueList&) = delete;

        /** Appends a new entry; throws AlreadyExistsException (text: the name)
        when the name is present, leaving the list unchanged. */
        void Add (const std::string& name, double value, bool constant);

        /** The address of the named entry's value cell, or null. */
        double* AddressOf (const std::string& name);

        /** True only for an existing constant entry. */
        bool IsConstant (const std::string& name);

        /** Adds the constants "E" and "PI", in this order. */
        void AddBuiltInConstants();

        /** The number of entries. */
        int Count() const;
        /** The entry at index 0 .. Count() - 1, in insertion order. */
        const ValueEntry& EntryAt (int index) const;

    private:
        ValueEntry* Find (const std::string& name);

        std::vector<std::unique_ptr<ValueEntry>> entries;
    };

} // namespace Expr
