#pragma once

#include <expr/Exception.h>

#include "Token.h"
#include "TokenLevels.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Expr
{

    class BinaryNode;
    class Expression;
    class Node;

    /** Turns one formula text into a node tree for one expression: a tokenizer
    pass, then a recursive splitter that finds in each range of tokens the
    operator with the loosest binding at parenthesis depth 0 and lets the node
    made for it build its operands by calling BuildRange again. Used for one
    parse; the tree it returns does not refer to it. */
    class Parser
    {
    public:
        /** Throws NullPointerException ("Parser::Parser") for a null expression. */
        explicit Parser (Expression* owner);

        /** Tokenizes the text and builds the whole token list into a tree. */
        std::unique_ptr<Node> Parse (const std::string& text);

        /** Replaces the token list with the tokens of the text, keeping a copy of
        the text for the names and numbers read from the tokens later. */
        void Tokenize (const std::string& text);

        /** A new node built from tokens first..last (inclusive). A chain of
        one operator's level (a + b - c, a * b / c, a ^ b ^ c) is built in a
        loop, so its length costs no depth. */
        std::unique_ptr<Node> BuildRange (int first, int last);

        /** BuildRange for a range nested inside a construct of its own: the
        inside of parentheses, a call argument, the operand of a leading
        sign, the value of an assignment. Throws SyntaxException over the
        range when that makes more than maximumNesting levels. */
        std::unique_ptr<Node> BuildNestedRange (int first, int last);

        /** Calls visit(index) for the tokens of first..last that lie at the
        range's own parenthesis level, in order: among them every operator,
        ",", ";", and the "(" and ")" of each group, but nothing inside a
        group. Visitors must ignore kinds they do not look for. Throws
        UnmatchedParenthesisException at a ")" that closes nothing and at
        unclosedToken when a "(" stays open. */
        template<class Visit>
        void WalkLevel (int first, int last, int unclosedToken, Visit&& visit) const
        {
            if (first > last)
                return;
            if (levels.Covers (first, last))
            {
                for (int i = levels.FirstListedFrom (first); i <= last; i = levels.NextListed (i))
                {
                    visit (i);
                    if (TokenAt (i).kind == TokenKind::OpenParen)
                        visit (levels.Partner (i));
                }
                return;
            }
            WalkTokenByToken (first, last, unclosedToken, visit);
        }

        const Token& TokenAt (int index) const { return tokens[static_cast<size_t> (index)]; }

        /** The text of an identifier token, a view into the formula text valid as
        long as both the parser and that text (for Parse, the caller's string;
        for Tokenize, the parser's own copy); empty for other tokens. */
        std::string_view NameAt (int index) const;

        /** The value of a number token; 0 for other tokens. */
        double NumberAt (int index) const;
        int TokenCount() const { return static_cast<int> (tokens.Size()); }
        Expression* GetExpression() const { return expression; }

        /** Throws the error positioned from the start of one token to the end of
        another (the same token for both gives that token's own range). */
        template<class ExceptionType>
        [[noreturn]] void ThrowOver (ExceptionType error, int firstToken, int lastToken) const
        {
            error.SetRange (TokenAt (firstToken).start, TokenAt (lastToken).end);
            throw error;
        }

        /** The cell of the variable named by an identifier token, created with the
        value 0 when missing. Throws NoValueListException without a value list
        and NotFoundException if the cell still cannot be found, both
        positioned on the token. */
        double* FindOrCreateVariable (int nameToken) const;

        /** Throws NoValueListException on the token when there is no value list. */
        void RequireValueList (int nameToken) const;

    private:
        struct RangeScan;
        class NestingLevels;

        template<class Visit>
        void WalkTokenByToken (int first, int last, int unclosedToken, Visit& visit) const
        {
            int depth = 0;
            for (int i = first; i <= last; ++i)
            {
                const TokenKind kind = TokenAt (i).kind;
                if (kind == TokenKind::OpenParen)
                {
                    if (depth++ == 0)
                        visit (i);
                }
                else if (kind == TokenKind::CloseParen)
                {
                    if (--depth < 0)
                        ThrowOver (UnmatchedParenthesisException(), i, i);
                    if (depth == 0)
                        visit (i);
                }
                else if (depth == 0)
                {
                    visit (i);
                }
            }
            if (depth != 0)
                ThrowOver (UnmatchedParenthesisException(), unclosedToken, unclosedToken);
        }

        enum class OperatorLevel
        {
            None,
            Add,
            Multiply,
            Power
        };

        RangeScan ScanRange (int first, int last) const;
        bool IsSign (int first, int index) const;
        OperatorLevel LevelOf (int first, int index) const;
        std::unique_ptr<Node> BuildChain (int first, int last, OperatorLevel level);
        std::unique_ptr<Node> BuildSignedRange (int first, int last);
        std::unique_ptr<Node> FoldConstant (BinaryNode& link, TokenKind kind) const;
        std::unique_ptr<Node> BuildFunctionCall (int first, int last, int open, int close);
        std::unique_ptr<Node> BuildSingleToken (int index);
        /** Tokenize over text that stays valid and unchanged for as long as the
        tokens are read: Parse's own argument, which is not copied. */
        void TokenizeInPlace (std::string_view text);
        template<class Found>
        static void ForEachToken (std::string_view text, Found&& found);
        void AppendToken (TokenKind kind, size_t start, size_t end);

        /** Levels of nesting, the whole formula being the first: beyond this a
        formula is refused rather than risk overflowing the stack while it is
        built, computed or destroyed. No formula typed by hand comes near it. */
        static constexpr int maximumNesting = 1000;

        Expression* const expression;
        std::string ownCopy;     // the text Tokenize was given, for source
        std::string_view source; // the text the tokens' names point into
        LargeArray<Token> tokens;
        TokenLevels levels;
        std::vector<int> chainOperators; // of the chains being built, innermost last
        int nesting = 0;                 // constructs enclosing the range being built
    };

    /** Creates a node of the given class for the parser's expression and lets it
    build over the range; a node whose build throws is destroyed on the way. */
    template<class NodeType>
    std::unique_ptr<Node> BuildNode (Parser& parser, int first, int last, int pivot)
    {
        auto node = std::make_unique<NodeType> (parser.GetExpression());
        node->Build (parser, first, last, pivot);
        return node;
    }

} // namespace Expr
