#pragma once

#include <expr/ArgumentList.h>
#include <expr/DataObject.h>
#include <expr/Node.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

namespace Expr
{

    class FunctionFactory;
    class FunctionList;

    /** A call of a named function. A concrete function derives from this class,
    sets its argument limits in its factory's CreateNode, and overrides only
    Calculate(), where it evaluates valueArgs[i]->Compute() as it needs and
    reads and writes the cells in refArgs directly. Argument counts outside
    the limits are rejected when the call is built, so Calculate() may rely
    on them. */
    class FunctionNode : public Node
    {
    public:
        /** A call in the given expression, with all argument limits at 0. */
        explicit FunctionNode (Expression* owner);
        /** Destroys the argument nodes. */
        ~FunctionNode() override;

        /** The name of the factory that made the node (empty if none did). */
        std::string Name() const;

        /** Allowed counts of value, reference (&name) and data (at sign and name)
        arguments; -1 means no limit. All six start at 0. */
        void SetArgLimits (int minValueArgs, int maxValueArgs,
                           int minRefArgs, int maxRefArgs,
                           int minDataArgs, int maxDataArgs);

        /** Builds the arguments from the call's "(" (first) to its ")" (last). */
        void Build (Parser& parser, int first, int last, int pivot) final;

        /** The order in which Calculate() evaluates the value arguments. */
        enum class ArgumentOrder
        {
            Unknown,        // anything: computed with the per-node countdown
            AsWritten,      // a0, a1, ... each at most once
            SecondThenFirst // a1, then a0, of exactly two
        };

        /** Declares the order, usually in the factory beside SetArgLimits().
        A declared order promises that each value argument is evaluated at
        most once, in that order, and that an argument passed over is handed
        to SkipEvaluationOf() when its turn comes; the tree may then settle
        the abort countdown once per computation. */
        void SetArgumentOrder (ArgumentOrder order) { argumentOrder = order; }

        bool PlaceInEvaluationOrder (EvaluationOrder& order) final;

        /** The end of the error-indicator protocol: throws MathException with
        Name() when errno is set, after all arguments were evaluated. */
        void ThrowIfErrorIndicated()
        {
            if (errno != 0)
                ThrowMathException (*this);
        }

        /** Throws MathException with Name(), the arguments having been evaluated
        up to the last place of the given node (this one: all of them). */
        [[noreturn]] void ThrowMathException (const Node& evaluatedThrough);

    protected:
        /** The function's value, computed from the arguments below. */
        double Calculate() override = 0;

        /** The value arguments in written order; call Compute() on each one needed. */
        ArgumentList<std::unique_ptr<Node>> valueArgs;
        /** The cells of the variables passed as &name, in written order. */
        ArgumentList<double*> refArgs;
        /** The slots of the data entries passed as an at sign and a name, in written order. */
        ArgumentList<DataObject**> dataArgs;

    private:
        friend class FunctionCall;
        friend class FunctionList;

        void BuildArgument (Parser& parser, int firstToken, int separator);
        void AddReferenceArgument (Parser& parser, int firstToken, int separator);
        void AddDataArgument (Parser& parser, int firstToken, int separator);
        void CheckArgumentCounts (Parser& parser, int first, int last) const;

        FunctionFactory* factory = nullptr;
        ArgumentOrder argumentOrder = ArgumentOrder::Unknown;
        int minValues = 0;
        int maxValues = 0;
        int minRefs = 0;
        int maxRefs = 0;
        int minData = 0;
        int maxData = 0;
    };

} // namespace Expr
