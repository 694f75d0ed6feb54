#pragma once

#include "HugePages.h"
#include "Token.h"

namespace Expr
{

    /** An index over a token list, built in one pass each way, that lets the
    parser visit the tokens of a range at the range's own parenthesis level
    without walking the tokens nested inside it.

    The tokens listed at each level are the operators, ";", "," and "(";
    every "(" knows its partner, so a nested group costs one step. A range is
    covered when the whole list is balanced and the range starts and ends at
    the same level without cutting a group in two; any other range needs the
    plain walk, which reports its unmatched parenthesis. Two tables of one
    int per token: no level is stored, Covers finds it out by walking. */
    class TokenLevels
    {
    public:
        /** Rebuilds the index for the tokens, which must stay unchanged while it
        is used; an unbalanced list covers nothing. */
        void Build (const LargeArray<Token>& list);

        /** Whether the range can be walked through the index: a walk over its
        listed tokens, which meets the ")" ending first's group when the range
        leaves that group and a "(" whose group goes past last when it cuts
        one. */
        bool Covers (int first, int last) const;

        /** The first listed token at first's level from first on (first itself
        included), or a value beyond every index when there is none. */
        int FirstListedFrom (int first) const;

        /** The next listed token after index at index's level; a "(" skips its
        group. Past the last one of a group comes the group's ")", past the
        last one of the whole list a value beyond every index. */
        int NextListed (int index) const
        {
            const auto i = static_cast<size_t> (index);
            // A "(" shares the next listed token of its ")".
            return KindAt (i) == TokenKind::OpenParen ? link[static_cast<size_t> (link[i])] : link[i];
        }

        /** The ")" of a "(". */
        int Partner (int index) const { return link[static_cast<size_t> (index)]; }

    private:
        static bool IsListed (TokenKind kind);

        TokenKind KindAt (size_t index) const { return (*tokens)[index].kind; }

        const LargeArray<Token>* tokens = nullptr;
        // For a "(", its ")"; for every other token, the next listed token at its
        // level (see NextListed).
        LargeArray<int> link;
        bool balanced = false;
    };

} // namespace Expr
