#pragma once

#include <expr/FunctionFactory.h>
#include <expr/FunctionNode.h>

#include <memory>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace Expr
{

    class Expression;

    /** Maps function names to the factories that make their nodes, in
    registration order. Consulted only while formulas are parsed; nodes keep
    a plain pointer to their factory, so the list must outlive every
    expression parsed against it. */
    class FunctionList
    {
    public:
        /** An empty list: add the built-ins with AddBuiltInFunctions(). */
        FunctionList();
        /** Destroys every factory. */
        ~FunctionList();
        FunctionList (const FunctionList&) = delete;
        FunctionList& operator= (const FunctionList&) = delete;

        /** Registers a factory and takes ownership of it. Throws
        NullPointerException ("FunctionList::Add") for a null factory and
        AlreadyExistsException (the name) when a factory of that name is
        registered; on either throw the factory is left with the caller
        (the argument is moved from only on success). */
        void Add (std::unique_ptr<FunctionFactory>&& factory);

        /** The same for a pointer to a derived factory class, so that the caller's
        own pointer keeps the factory when it is refused. */
        template<class Factory, class = std::enable_if_t<std::is_base_of_v<FunctionFactory, Factory>>>
        void Add (std::unique_ptr<Factory>&& factory)
        {
            CheckCanAdd (factory.get());
            Append (std::move (factory));
        }

        /** A new node for a call of the named function in the expression, made by
        the first factory of that name; null when there is none or it made no
        node. Throws NullPointerException ("FunctionList::Create") for a null
        expression. */
        std::unique_ptr<FunctionNode> Create (const std::string& name, Expression* expression);

        /** Appends the built-in functions in their fixed order, without the
        duplicate test of Add. */
        void AddBuiltInFunctions();

        /** The number of registered factories. */
        int Count() const;
        /** The factory at index 0 .. Count() - 1, in registration order. */
        FunctionFactory& FactoryAt (int index) const;

    private:
        void CheckCanAdd (FunctionFactory* factory) const;
        void Append (std::unique_ptr<FunctionFactory> factory);

        std::vector<std::unique_ptr<FunctionFactory>> factories;
        // The first factory of each name. A factory names itself the same on
        // every call, so the name is asked once, when the factory is added.
        std::unordered_map<std::string, FunctionFactory*> firstOfName;
    };

} // namespace Expr
