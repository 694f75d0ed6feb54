#include <expr/Exception.h>
#include <expr/FunctionList.h>

namespace Expr
{

    FunctionFactory::~FunctionFactory() = default;

    FunctionList::FunctionList() = default;
    FunctionList::~FunctionList() = default;

    void FunctionList::Add (std::unique_ptr<FunctionFactory>&& factory)
    {
        CheckCanAdd (factory.get());
        Append (std::move (factory));
    }

    void FunctionList::CheckCanAdd (FunctionFactory* factory) const
    {
        if (factory == nullptr)
            throw NullPointerException ("FunctionList::Add");
        std::string name = factory->FunctionName();
        if (firstOfName.count (name) != 0)
            throw AlreadyExistsException (name);
    }

    void FunctionList::Append (std::unique_ptr<FunctionFactory> factory)
    {
        firstOfName.emplace (factory->FunctionName(), factory.get()); // keeps an earlier one
        factories.push_back (std::move (factory));
    }

    std::unique_ptr<FunctionNode> FunctionList::Create (const std::string& name, Expression* expression)
    {
        if (expression == nullptr)
            throw NullPointerException ("FunctionList::Create");
        const auto found = firstOfName.find (name);
        if (found == firstOfName.end())
            return nullptr;
        FunctionFactory* factory = found->second;
        std::unique_ptr<FunctionNode> node = factory->CreateNode (expression);
        if (node != nullptr)
            node->factory = factory;
        return node;
    }

    int FunctionList::Count() const
    {
        return static_cast<int> (factories.size());
    }

    FunctionFactory& FunctionList::FactoryAt (int index) const
    {
        return *factories.at (static_cast<size_t> (index));
    }

} // namespace Expr
