#pragma once

#include <expr/DataObject.h>

#include <memory>
#include <string>

namespace Expr
{

    /** One named slot of a DataList. The slot is a plain pointer because parsed
    formulas keep its address (a DataObject**) and read the current object
    through it; the entry owns the object and destroys it. */
    class DataEntry
    {
    public:
        /** An entry of that name holding no object. */
        explicit DataEntry (std::string entryName);
        /** Destroys the object it holds. */
        ~DataEntry();
        DataEntry (const DataEntry&) = delete;
        DataEntry& operator= (const DataEntry&) = delete;

        /** The entry's name. */
        const std::string& Name() const { return name; }
        /** The object it holds, or null; the entry keeps owning it. */
        DataObject* Object() const { return object; }
        /** The address that parsed formulas read the current object through. */
        DataObject** Slot() { return &object; }

        /** Replaces (and destroys) the current object. */
        void SetObject (std::unique_ptr<DataObject> newObject);

    private:
        std::string name;
        DataObject* object = nullptr; // owned
    };

} // namespace Expr
