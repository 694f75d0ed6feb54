#include "BinaryNode.h"

#include "Parser.h"

#include <expr/Exception.h>


namespace Expr
{

    namespace
    {
        // Chains up to this length are evaluated by the plain nested calls.
        constexpr size_t longestNestedChain = 16;
    } // namespace


    BinaryNode::~BinaryNode()
    {
        // Taking the left side apart link by link: each link is destroyed with
        // its left operand already detached, so only its right operand recurses.
        std::unique_ptr<Node> next = std::move (left);
        while (auto* link = dynamic_cast<BinaryNode*> (next.get()))
            next = std::move (link->left);
    }

    void BinaryNode::Build (Parser& parser, int first, int last, int pivot)
    {
        if (! (first < pivot && pivot < last))
            parser.ThrowOver (SyntaxException(), first, last);
        left = parser.BuildRange (first, pivot - 1);
        right = parser.BuildRange (pivot + 1, last);
        NoteLeafOperands();
    }

    void BinaryNode::SetChainLinks (std::vector<BinaryNode*> links)
    {
        if (links.size() > longestNestedChain)
        {
            chainLinks = std::make_unique<std::vector<BinaryNode*>> (std::move (links));
            headsLongChain = true;
        }
    }

    double BinaryNode::CalculateChain()
    {
        const std::vector<BinaryNode*>& links = *chainLinks;
        const size_t count = links.size();
        // This node's own evaluation was counted by its Compute(); each link
        // below it counts as its own evaluation when the nested call would reach it.
        for (size_t k = count; k-- > 0;)
        {
            if (k + 1 != count)
                CountEvaluation();
            links[k]->BeforeLeft();
        }
        double value = links.front()->left->Compute();
        for (BinaryNode* link : links)
            value = link->AfterLeft (value);
        return value;
    }

} // namespace Expr
