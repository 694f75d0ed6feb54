#include <expr/Exception.h>
#include <expr/ValueList.h>

namespace Expr
{

    ValueList::ValueList() = default;
    ValueList::~ValueList() = default;

    void ValueList::Add (const std::string& name, double value, bool constant)
    {
        if (AddressOf (name) != nullptr)
            throw AlreadyExistsException (name);
        auto entry = std::make_unique<ValueEntry>();
        entry->name = name;
        entry->constant = constant;
        entry->value = value;
        entries.push_back (std::move (entry));
    }

    double* ValueList::AddressOf (const std::string& name)
    {
        ValueEntry* entry = Find (name);
        return entry != nullptr ? &entry->value : nullptr;
    }

    bool ValueList::IsConstant (const std::string& name)
    {
        const ValueEntry* entry = Find (name);
        return entry != nullptr && entry->constant;
    }

    void ValueList::AddBuiltInConstants()
    {
        Add ("E", 2.718281828459045, true);
        Add ("PI", 3.141592653589793, true);
    }

    int ValueList::Count() const
    {
        return static_cast<int> (entries.size());
    }

    const ValueEntry& ValueList::EntryAt (int index) const
    {
        return *entries.at (static_cast<size_t> (index));
    }

    ValueEntry* ValueList::Find (const std::string& name)
    {
        for (auto& entry : entries)
            if (entry->name == name)
                return entry.get();
        return nullptr;
    }

} // namespace Expr
