#include "TokenLevels.h"

#include <limits>
#include <vector>

namespace Expr
{

    namespace
    {
        constexpr int beyondEveryIndex = std::numeric_limits<int>::max();
    } // namespace

    bool TokenLevels::IsListed (TokenKind kind)
    {
        switch (kind)
        {
            case TokenKind::OpenParen:
            case TokenKind::Assign:
            case TokenKind::Plus:
            case TokenKind::Minus:
            case TokenKind::Multiply:
            case TokenKind::Divide:
            case TokenKind::Power:
            case TokenKind::Comma:
            case TokenKind::Semicolon: return true;
            default: return false;
        }
    }

    void TokenLevels::Build (const LargeArray<Token>& list)
    {
        tokens = &list;
        const size_t count = list.Size();
        link.Fill (count, beyondEveryIndex);
        balanced = false;

        // Left to right: partners.
        std::vector<int> openGroups;
        for (size_t i = 0; i < count; ++i)
        {
            const TokenKind kind = list[i].kind;
            if (kind == TokenKind::CloseParen)
            {
                if (openGroups.empty())
                    return;
                const int open = openGroups.back();
                openGroups.pop_back();
                link[static_cast<size_t> (open)] = static_cast<int> (i);
            }
            if (kind == TokenKind::OpenParen)
                openGroups.push_back (static_cast<int> (i));
        }
        if (! openGroups.empty())
            return;

        // Right to left: the next listed token of each level. Entering a group
        // from its ")" starts a fresh level, which ends at that ")"; leaving it
        // at its "(" restores the outer one, where the "(" itself is listed. A
        // "(" keeps its partner: its next listed token is its ")"'s.
        std::vector<int> outerNext;
        int next = beyondEveryIndex;
        for (size_t i = count; i-- > 0;)
        {
            const TokenKind kind = list[i].kind;
            if (kind == TokenKind::CloseParen)
            {
                link[i] = next;
                outerNext.push_back (next);
                next = static_cast<int> (i);
                continue;
            }
            if (kind == TokenKind::OpenParen)
            {
                next = outerNext.back();
                outerNext.pop_back();
            }
            else
            {
                link[i] = next;
            }
            if (IsListed (kind))
                next = static_cast<int> (i);
        }
        balanced = true;
    }

    bool TokenLevels::Covers (int first, int last) const
    {
        if (! balanced || first < 0 || last < first || static_cast<size_t> (last) >= tokens->Size())
            return false;
        if (KindAt (static_cast<size_t> (first)) == TokenKind::CloseParen || KindAt (static_cast<size_t> (last)) == TokenKind::OpenParen)
            return false;
        for (int i = FirstListedFrom (first); i <= last; i = NextListed (i))
        {
            const TokenKind kind = KindAt (static_cast<size_t> (i));
            if (kind == TokenKind::CloseParen || (kind == TokenKind::OpenParen && Partner (i) > last))
                return false;
        }
        return true;
    }

    int TokenLevels::FirstListedFrom (int first) const
    {
        const auto f = static_cast<size_t> (first);
        return IsListed (KindAt (f)) ? first : link[f];
    }

} // namespace Expr
