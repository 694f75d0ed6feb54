#include <expr/DataList.h>
#include <expr/Exception.h>

namespace Expr
{

    DataObject::~DataObject() = default;

    DataEntry::DataEntry (std::string entryName)
        : name (std::move (entryName)) {}

    DataEntry::~DataEntry()
    {
        delete object;
    }

    void DataEntry::SetObject (std::unique_ptr<DataObject> newObject)
    {
        delete object;
        object = newObject.release();
    }

    DataList::DataList() = default;
    DataList::~DataList() = default;

    void DataList::Add (const std::string& name)
    {
        if (SlotOf (name) != nullptr)
            throw AlreadyExistsException (name);
        entries.push_back (std::make_unique<DataEntry> (name));
    }

    DataObject** DataList::SlotOf (const std::string& name)
    {
        for (auto& entry : entries)
            if (entry->Name() == name)
                return entry->Slot();
        return nullptr;
    }

    int DataList::Count() const
    {
        return static_cast<int> (entries.size());
    }

    DataEntry& DataList::EntryAt (int index)
    {
        return *entries.at (static_cast<size_t> (index));
    }

} // namespace Expr
