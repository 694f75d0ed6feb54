#include <expr/Exception.h>
#include <expr/FunctionList.h>

namespace Expr {

FunctionFactory::~FunctionFactory() = default;

FunctionList::FunctionList() = default;
FunctionList::~FunctionList() = default;

void FunctionList::Add(std::unique_ptr<FunctionFactory>&& factory)
{
    CheckCanAdd(factory.get());
    factories.push_back(std::move(factory));
}

void FunctionList::CheckCanAdd(FunctionFactory* factory) const
{
    if (factory == nullptr)
        throw NullPointerException("FunctionList::Add");
    const std::string name = factory->FunctionName();
    for (auto& registered : factories)
        if (registered->FunctionName() == name)
            throw AlreadyExistsException(name);
}

std::unique_ptr<FunctionNode> FunctionList::Create(const std::string& name, Expression* expression)
{
    if (expression == nullptr)
        throw NullPointerException("FunctionList::Create");
    for (auto& factory : factories)
    {
        if (factory->FunctionName() != name)
            continue;
        std::unique_ptr<FunctionNode> node = factory->CreateNode(expression);
        if (node != nullptr)
            node->factory = factory.get();
        return node;
    }
    return nullptr;
}

int FunctionList::Count() const
{
    return static_cast<int>(factories.size());
}

FunctionFactory& FunctionList::FactoryAt(int index) const
{
    return *factories.at(static_cast<size_t>(index));
}

} // namespace Expr
