#pragma once

#include <expr/DataObject.h>

#include <memory>
#include <string>

namespace Expr {

/** One named slot of a DataList. The slot is a plain pointer because parsed
    formulas keep its address (a DataObject**) and read the current object
    through it; the entry owns the object and destroys it. */
class DataEntry
{
public:
    explicit DataEntry(std::string entryName);
    ~DataEntry();
    DataEntry(const DataEntry&) = delete;
    DataEntry& operator=(const DataEntry&) = delete;

    const std::string& Name() const { return name; }
    DataObject* Object() const { return object; }
    DataObject** Slot() { return &object; }

    /** Replaces (and destroys) the current object. */
    void SetObject(std::unique_ptr<DataObject> newObject);

private:
    std::string name;
    DataObject* object = nullptr; // owned
};

} // namespace Expr
