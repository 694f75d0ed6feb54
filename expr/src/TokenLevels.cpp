#include "TokenLevels.h"

#include <limits>
#include <vector>

namespace Expr
{

    namespace
    {
        constexpr int none = -1;
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
        level.Fill (count, none);
        balanced = false;

        // Left to right: levels and partners. A ")" lies at the level of its "(".
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
            level[i] = openGroups.empty() ? none : openGroups.back();
            if (kind == TokenKind::OpenParen)
                openGroups.push_back (static_cast<int> (i));
        }
        if (! openGroups.empty())
            return;

        // Right to left: the next listed token of each level. Entering a group
        // from its ")" starts a fresh level; leaving it at its "(" restores the
        // outer one, where the "(" itself is listed. A "(" keeps its partner:
        // its next listed token is its ")"'s.
        std::vector<int> outerNext;
        int next = beyondEveryIndex;
        for (size_t i = count; i-- > 0;)
        {
            const TokenKind kind = list[i].kind;
            if (kind == TokenKind::CloseParen)
            {
                link[i] = next;
                outerNext.push_back (next);
                next = beyondEveryIndex;
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
        const auto f = static_cast<size_t> (first);
        const auto l = static_cast<size_t> (last);
        return level[f] == level[l] && KindAt (f) != TokenKind::CloseParen && KindAt (l) != TokenKind::OpenParen;
    }

    int TokenLevels::FirstListedFrom (int first) const
    {
        const auto f = static_cast<size_t> (first);
        return IsListed (KindAt (f)) ? first : link[f];
    }

} // namespace Expr
