#pragma once

#include "Token.h"

#include <memory>
#include <string>
#include <vector>

namespace Expr {

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
    explicit Parser(Expression* owner);

    /** Tokenizes the text and builds the whole token list into a tree. */
    std::unique_ptr<Node> Parse(const std::string& text);

    /** Replaces the token list with the tokens of the text. */
    void Tokenize(const std::string& text);

    /** A new node built from tokens first..last (inclusive). Throws
        SyntaxException over the range when ranges nest too deeply. */
    std::unique_ptr<Node> BuildRange(int first, int last);

    const Token& TokenAt(int index) const { return tokens[static_cast<size_t>(index)]; }
    int TokenCount() const { return static_cast<int>(tokens.size()); }
    Expression* GetExpression() const { return expression; }

    /** Throws the error positioned from the start of one token to the end of
        another (the same token for both gives that token's own range). */
    template <class ExceptionType>
    [[noreturn]] void ThrowOver(ExceptionType error, int firstToken, int lastToken) const
    {
        error.SetRange(TokenAt(firstToken).start, TokenAt(lastToken).end);
        throw error;
    }

    /** The cell of the variable named by an identifier token, created with the
        value 0 when missing. Throws NoValueListException without a value list
        and NotFoundException if the cell still cannot be found, both
        positioned on the token. */
    double* FindOrCreateVariable(int nameToken) const;

    /** Throws NoValueListException on the token when there is no value list. */
    void RequireValueList(int nameToken) const;

private:
    struct RangeScan;

    RangeScan ScanRange(int first, int last) const;
    std::unique_ptr<Node> BuildFunctionCall(int first, int last, int open, int close);
    std::unique_ptr<Node> BuildSingleToken(int index);
    void AppendSingleCharacter(TokenKind kind, int index);
    int AppendNumber(const std::string& text, int start);
    int AppendIdentifier(const std::string& text, int start);

    /** Ranges nest one level per operator, parenthesis or call; beyond this
        depth a formula is refused rather than risk overflowing the stack while
        it is built or computed (and a build time that grows with the square
        of its length). No formula typed by hand comes near it. */
    static constexpr int maximumNesting = 1000;

    Expression* const expression;
    std::vector<Token> tokens;
    int nesting = 0;
};

/** Creates a node of the given class for the parser's expression and lets it
    build over the range; a node whose build throws is destroyed on the way. */
template <class NodeType>
std::unique_ptr<Node> BuildNode(Parser& parser, int first, int last, int pivot)
{
    auto node = std::make_unique<NodeType>(parser.GetExpression());
    node->Build(parser, first, last, pivot);
    return node;
}

} // namespace Expr
