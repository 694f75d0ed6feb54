#include <expr/DataList.h>
#include <expr/Exception.h>
#include <expr/FunctionFactory.h>
#include <expr/FunctionNode.h>
#include <expr/ValueList.h>

#include "Parser.h"

#include <algorithm>

namespace Expr
{

    FunctionNode::FunctionNode (Expression* owner)
        : Node (owner) {}

    FunctionNode::~FunctionNode() = default;

    std::string FunctionNode::Name() const
    {
        return factory != nullptr ? factory->FunctionName() : std::string();
    }

    void FunctionNode::SetArgLimits (int minValueArgs, int maxValueArgs,
                                     int minRefArgs, int maxRefArgs,
                                     int minDataArgs, int maxDataArgs)
    {
        minValues = minValueArgs;
        maxValues = maxValueArgs;
        minRefs = minRefArgs;
        maxRefs = maxRefArgs;
        minData = minDataArgs;
        maxData = maxDataArgs;
    }

    bool FunctionNode::PlaceInEvaluationOrder (EvaluationOrder& order)
    {
        switch (argumentOrder)
        {
            case ArgumentOrder::AsWritten:
                TakePlace (order);
                for (auto& argument : valueArgs)
                    if (! argument->PlaceInEvaluationOrder (order))
                        return false;
                CountPlacesBelow (order);
                return true;
            case ArgumentOrder::SecondThenFirst:
                return valueArgs.size() == 2 && PlaceWithChildren (order, { valueArgs[1].get(), valueArgs[0].get() });
            case ArgumentOrder::Unknown: break;
        }
        return false;
    }

    void FunctionNode::ThrowMathException (const Node& evaluatedThrough)
    {
        NoteEvaluatedThrough (evaluatedThrough);
        throw MathException (Name());
    }

    void FunctionNode::Build (Parser& parser, int first, int last, int /*pivot*/)
    {
        if (first >= last)
            throw SyntaxException();

        // The ")" at last ends the last argument as a "," ends the others.
        if (last > first + 1)
        {
            // Room for the usual count at once, not one growth step per argument.
            valueArgs.reserve (static_cast<size_t> (std::max (minValues, std::min (maxValues, 8))));
            int argumentStart = first + 1;
            parser.WalkLevel (first + 1, last - 1, last, [&] (int i) {
                if (parser.TokenAt (i).kind != TokenKind::Comma)
                    return;
                BuildArgument (parser, argumentStart, i);
                argumentStart = i + 1;
            });
            BuildArgument (parser, argumentStart, last);
        }
        CheckArgumentCounts (parser, first, last);
    }

    // One argument: the tokens from firstToken up to the "," or ")" at separator.
    void FunctionNode::BuildArgument (Parser& parser, int firstToken, int separator)
    {
        if (separator <= firstToken)
            parser.ThrowOver (SyntaxException(), separator, separator);

        switch (parser.TokenAt (firstToken).kind)
        {
            case TokenKind::Reference: AddReferenceArgument (parser, firstToken, separator); break;
            case TokenKind::DataRef: AddDataArgument (parser, firstToken, separator); break;
            default: valueArgs.push_back (parser.BuildNestedRange (firstToken, separator - 1)); break;
        }
    }

    void FunctionNode::AddReferenceArgument (Parser& parser, int firstToken, int separator)
    {
        const int nameToken = firstToken + 1;
        if (separator != firstToken + 2 || parser.TokenAt (nameToken).kind != TokenKind::Identifier)
            parser.ThrowOver (SyntaxException(), firstToken, separator);
        parser.RequireValueList (nameToken);

        const std::string name (parser.NameAt (nameToken));
        if (expression->GetValueList()->IsConstant (name))
            parser.ThrowOver (ConstantReferenceException (name), nameToken, nameToken);
        refArgs.push_back (parser.FindOrCreateVariable (nameToken));
    }

    void FunctionNode::AddDataArgument (Parser& parser, int firstToken, int separator)
    {
        const int nameToken = firstToken + 1;
        if (separator != firstToken + 2 || parser.TokenAt (nameToken).kind != TokenKind::Identifier)
            parser.ThrowOver (SyntaxException(), firstToken, separator);
        DataList* data = expression->GetDataList();
        if (data == nullptr)
            parser.ThrowOver (NoDataListException(), nameToken, nameToken);

        const std::string name (parser.NameAt (nameToken));
        DataObject** slot = data->SlotOf (name);
        if (slot == nullptr)
        {
            data->Add (name);
            slot = data->SlotOf (name);
        }
        if (slot == nullptr)
            parser.ThrowOver (NotFoundException (name), nameToken, nameToken);
        dataArgs.push_back (slot);
    }

    void FunctionNode::CheckArgumentCounts (Parser& parser, int first, int last) const
    {
        const auto outside = [] (size_t count, int minimum, int maximum) {
            const int n = static_cast<int> (count);
            return (minimum != -1 && n < minimum) || (maximum != -1 && n > maximum);
        };
        if (outside (valueArgs.size(), minValues, maxValues)
            || outside (refArgs.size(), minRefs, maxRefs)
            || outside (dataArgs.size(), minData, maxData))
            parser.ThrowOver (InvalidArgumentCountException (Name()), first, last);
    }

} // namespace Expr
