#include "BinaryNode.h"

#include "Parser.h"

#include "ExponentNode.h"

#include <expr/Exception.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace Expr
{

    namespace
    {
        // Chains up to this length are evaluated by the plain nested calls.
        constexpr size_t longestNestedChain = 16;
    } // namespace

// Where the processor has an fma instruction, the square test uses it in
// place instead of calling the library's fma for every x ^ 2 (a copy of the
// function for each, chosen once when the program loads).
#if defined(__GNUC__) && defined(__x86_64__) && defined(__linux__)
#define QUILLMERE_FMA_WHERE_AVAILABLE __attribute__ ((target_clones ("fma", "default")))
#else
#define QUILLMERE_FMA_WHERE_AVAILABLE
#endif

    BinaryNode::~BinaryNode()
    {
        // Taking the left side apart link by link: each link is destroyed with
        // its left operand already detached, so only its right operand recurses.
        std::unique_ptr<Node> next = std::move (left);
        while (auto* link = dynamic_cast<BinaryNode*> (next.get()))
            next = std::move (link->left);
    }

    QUILLMERE_FMA_WHERE_AVAILABLE bool SquareAsPowGivesIt (double x, double& square)
    {
        const double product = x * x;
        std::uint64_t bits = 0;
        std::memcpy (&bits, &product, sizeof bits);
        const std::uint64_t exponentBits = bits & 0x7FF0000000000000u;
        const bool usable = exponentBits > (std::uint64_t { 100 } << 52) // far from underflow
                         && exponentBits != 0x7FF0000000000000u          // finite
                         && (bits & 0x000FFFFFFFFFFFFFu) != 0;           // no binade edge
        if (! usable)
            return false;
        double binade = 0.0; // the power of two at or below the product
        std::memcpy (&binade, &exponentBits, sizeof binade);
        const double roundingError = std::fma (x, x, -product);
        if (! (std::fabs (roundingError) < binade * (0.45 * 0x1p-52)))
            return false;
        square = product;
        return true;
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
            chainLinks = std::move (links);
            headsLongChain = true;
        }
    }

    double BinaryNode::CalculateChain()
    {
        const size_t count = chainLinks.size();
        // This node's own evaluation was counted by its Compute(); each link
        // below it counts as its own evaluation when the nested call would reach it.
        for (size_t k = count; k-- > 0;)
        {
            if (k + 1 != count)
                CountEvaluation();
            chainLinks[k]->BeforeLeft();
        }
        double value = chainLinks.front()->left->Compute();
        for (BinaryNode* link : chainLinks)
            value = link->AfterLeft (value);
        return value;
    }

} // namespace Expr
