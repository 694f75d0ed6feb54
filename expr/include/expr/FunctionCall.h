#pragma once

#include <expr/FunctionFactory.h>
#include <expr/FunctionList.h>
#include <expr/FunctionNode.h>

#include <cstddef>
#include <memory>
#include <string>
#include <utility>

namespace Expr
{

    /** What the body of a function registered with MakeFunction() sees of its
    call: the arguments, evaluated on request, and the ways to fail. */
    class FunctionCall
    {
    public:
        explicit FunctionCall (FunctionNode& callNode)
            : node (callNode) {}

        size_t ValueCount() const { return node.valueArgs.size(); }

        /** Evaluates value argument index (Compute(): counts toward the abort
        poll, may throw). */
        double Value (size_t index) const { return node.valueArgs[index]->Compute(); }

        /** The cell of reference argument index (written &name). */
        double& Reference (size_t index) const { return *node.refArgs[index]; }

        /** Tells the countdown that value argument index is passed over this
        time; see FunctionNode::SetArgumentOrder. */
        void Skip (size_t index) const { node.SkipEvaluationOf (*node.valueArgs[index]); }

        /** The end of the error-indicator protocol: MathException with the
        function's name when errno is set. */
        void ThrowIfErrorIndicated() const { node.ThrowIfErrorIndicated(); }

        /** MathException with the function's name, the value arguments having
        been evaluated up to and including argument index. */
        [[noreturn]] void ThrowMathExceptionAfter (size_t index) const
        {
            node.ThrowMathException (*node.valueArgs[index]);
        }

        std::string Name() const { return node.Name(); }

    private:
        FunctionNode& node;
    };

    /** The argument counts of a function (-1: no limit; no data arguments) and
    the order in which its body evaluates the value arguments. */
    struct FunctionSignature
    {
        int minValues = 0;
        int maxValues = 0;
        int minReferences = 0;
        int maxReferences = 0;
        FunctionNode::ArgumentOrder order = FunctionNode::ArgumentOrder::Unknown;
    };

    /** The node of a function registered with MakeFunction(): its value is its
    body's, given the call. */
    template<class Body>
    class CallNode final : public FunctionNode
    {
    public:
        CallNode (Expression* owner, const Body& callBody)
            : FunctionNode (owner), body (callBody) {}

    protected:
        double Calculate() override { return body (FunctionCall (*this)); }

    private:
        Body body;
    };

    /** The factory of a function registered with MakeFunction(). */
    template<class Body>
    class CallFactory final : public FunctionFactory
    {
    public:
        CallFactory (std::string functionName, const FunctionSignature& callSignature, Body callBody)
            : name (std::move (functionName)), signature (callSignature), body (std::move (callBody))
        {
        }

        std::string FunctionName() override { return name; }

        std::unique_ptr<FunctionNode> CreateNode (Expression* expression) override
        {
            auto node = std::make_unique<CallNode<Body>> (expression, body);
            node->SetArgLimits (signature.minValues, signature.maxValues, signature.minReferences,
                                signature.maxReferences, 0, 0);
            node->SetArgumentOrder (signature.order);
            return node;
        }

    private:
        const std::string name;
        const FunctionSignature signature;
        const Body body;
    };

    /** A function in one piece: its name, its argument counts and its body, a
    callable taking a const FunctionCall& and returning the value. */
    template<class Body>
    std::unique_ptr<FunctionFactory> MakeFunction (std::string name, const FunctionSignature& signature, Body body)
    {
        return std::make_unique<CallFactory<Body>> (std::move (name), signature, std::move (body));
    }

    /** Registers such a function through FunctionList::Add and its duplicate
    check. */
    template<class Body>
    void AddFunction (FunctionList& functions, std::string name, const FunctionSignature& signature, Body body)
    {
        functions.Add (MakeFunction (std::move (name), signature, std::move (body)));
    }

} // namespace Expr
