#include "Parser.h"

#include "AddNode.h"
#include "AssignNode.h"
#include "DivideNode.h"
#include "ExponentNode.h"
#include "MultiNode.h"
#include "MultiplyNode.h"
#include "NegateNode.h"
#include "SubtractNode.h"
#include "ValueNode.h"
#include "VariableNode.h"

#include <expr/Exception.h>
#include <expr/Expression.h>
#include <expr/FunctionList.h>
#include <expr/ValueList.h>

#include <charconv>
#include <cmath>

namespace Expr {

namespace {

// Character classes of the classic locale, independent of the process locale;
// bytes above 127 belong to none.
bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool StartsNameCharacter(char c)
{
    return c == '_' || IsLetter(c);
}

bool IsSingleCharacterToken(char c, TokenKind& kind)
{
    switch (c)
    {
        case '(': kind = TokenKind::OpenParen; return true;
        case ')': kind = TokenKind::CloseParen; return true;
        case '=': kind = TokenKind::Assign; return true;
        case '+': kind = TokenKind::Plus; return true;
        case '-': kind = TokenKind::Minus; return true;
        case '*': kind = TokenKind::Multiply; return true;
        case '/': kind = TokenKind::Divide; return true;
        case '^': kind = TokenKind::Power; return true;
        case '&': kind = TokenKind::Reference; return true;
        case '@': kind = TokenKind::DataRef; return true;
        case ',': kind = TokenKind::Comma; return true;
        case ';': kind = TokenKind::Semicolon; return true;
        default: return false;
    }
}

// The value atof gives for digits with at most one decimal point ("." alone
// is 0), but independent of the process locale's decimal separator.
double ConvertLiteral(const char* begin, const char* end)
{
    double value = 0.0;
    const auto result = std::from_chars(begin, end, value, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range)
    {
        // Too many digits for a double: overflow if any digit before the
        // point is non-zero, else an underflow towards 0.
        for (const char* c = begin; c != end && *c != '.'; ++c)
            if (*c != '0')
                return HUGE_VAL;
        return 0.0;
    }
    return result.ec == std::errc() ? value : 0.0;
}

} // namespace

struct Parser::RangeScan
{
    int open = -1;   // the first "(" at depth 0
    int close = -1;  // the first ")" returning to depth 0
    int assign = -1; // the first "="
    int sign = -1;   // the first leading "+" or "-"
    int add = -1;    // the last binary "+" or "-"
    int mul = -1;    // the last "*" or "/"
    int pow = -1;    // the last "^"
    bool separator = false;
};

Parser::Parser(Expression* owner) : expression(owner)
{
    if (owner == nullptr)
        throw NullPointerException("Parser::Parser");
}

std::unique_ptr<Node> Parser::Parse(const std::string& text)
{
    Tokenize(text);
    if (tokens.empty())
        throw EmptyExpressionException();
    return BuildRange(0, TokenCount() - 1);
}

void Parser::Tokenize(const std::string& text)
{
    tokens.clear();
    if (text.empty())
        throw EmptyExpressionException();

    const int length = static_cast<int>(text.size());
    bool inComment = false;
    int i = 0;
    while (i < length)
    {
        const char c = text[static_cast<size_t>(i)];
        TokenKind kind{};
        if (c == '\n' || c == '\r')
        {
            inComment = false;
            ++i;
        }
        else if (c == '#')
        {
            inComment = true;
            ++i;
        }
        else if (inComment)
        {
            ++i;
        }
        else if (IsSingleCharacterToken(c, kind))
        {
            AppendSingleCharacter(kind, i);
            ++i;
        }
        else if (c == '.' || IsDigit(c))
        {
            i = AppendNumber(text, i);
        }
        else if (StartsNameCharacter(c))
        {
            i = AppendIdentifier(text, i);
        }
        else if (IsWhiteSpace(c))
        {
            ++i;
        }
        else
        {
            UnknownTokenException error;
            error.SetRange(i, i);
            throw error;
        }
    }
}

void Parser::AppendSingleCharacter(TokenKind kind, int index)
{
    Token token;
    token.kind = kind;
    token.start = index;
    token.end = index;
    tokens.push_back(std::move(token));
}

int Parser::AppendNumber(const std::string& text, int start)
{
    const size_t length = text.size();
    size_t i = static_cast<size_t>(start);
    while (i < length && IsDigit(text[i]))
        ++i;
    if (i < length && text[i] == '.')
    {
        ++i;
        while (i < length && IsDigit(text[i]))
            ++i;
    }
    Token token;
    token.kind = TokenKind::Number;
    token.number = ConvertLiteral(text.data() + start, text.data() + i);
    token.start = start;
    token.end = static_cast<int>(i) - 1;
    tokens.push_back(std::move(token));
    return static_cast<int>(i);
}

int Parser::AppendIdentifier(const std::string& text, int start)
{
    const size_t length = text.size();
    size_t i = static_cast<size_t>(start);
    while (i < length)
    {
        const char c = text[i];
        const bool dotJoinsName = c == '.' && i + 1 < length && StartsNameCharacter(text[i + 1]);
        if (!(StartsNameCharacter(c) || IsDigit(c) || dotJoinsName))
            break;
        ++i;
    }
    Token token;
    token.kind = TokenKind::Identifier;
    token.text = text.substr(static_cast<size_t>(start), i - static_cast<size_t>(start));
    token.start = start;
    token.end = static_cast<int>(i) - 1;
    tokens.push_back(std::move(token));
    return static_cast<int>(i);
}

Parser::RangeScan Parser::ScanRange(int first, int last) const
{
    RangeScan scan;
    int depth = 0;
    for (int i = first; i <= last; ++i)
    {
        const Token& token = TokenAt(i);
        switch (token.kind)
        {
            case TokenKind::OpenParen:
                if (++depth == 1 && scan.open < 0)
                    scan.open = i;
                break;
            case TokenKind::CloseParen:
                --depth;
                if (depth < 0)
                    ThrowOver(UnmatchedParenthesisException(), i, i);
                if (depth == 0 && scan.close < 0)
                    scan.close = i;
                break;
            case TokenKind::Assign:
                if (depth == 0 && scan.assign < 0)
                    scan.assign = i;
                break;
            case TokenKind::Plus:
            case TokenKind::Minus:
                if (depth != 0)
                    break;
                if (i == first || TokenAt(i - 1).IsOperator())
                {
                    if (scan.sign < 0)
                        scan.sign = i;
                }
                else
                {
                    scan.add = i;
                }
                break;
            case TokenKind::Multiply:
            case TokenKind::Divide:
                if (depth == 0)
                    scan.mul = i;
                break;
            case TokenKind::Power:
                if (depth == 0)
                    scan.pow = i;
                break;
            case TokenKind::Semicolon:
                if (depth == 0)
                    scan.separator = true;
                break;
            default:
                break;
        }
    }
    if (depth != 0)
        ThrowOver(UnmatchedParenthesisException(), last, last);
    return scan;
}

// The order of these cases is what gives the operators their precedence:
// the loosest-binding operator found at depth 0 splits the range.
std::unique_ptr<Node> Parser::BuildRange(int first, int last)
{
    if (first > last)
        throw SyntaxException();

    struct NestingGuard
    {
        explicit NestingGuard(int& level) : depth(level) { ++depth; }
        ~NestingGuard() { --depth; }
        NestingGuard(const NestingGuard&) = delete;
        NestingGuard& operator=(const NestingGuard&) = delete;
        int& depth;
    } guard(nesting);
    if (nesting > maximumNesting)
        ThrowOver(SyntaxException(), first, last);

    const RangeScan scan = ScanRange(first, last);

    if (scan.separator)
        return BuildNode<MultiNode>(*this, first, last, 0);
    if (scan.assign >= 0)
        return BuildNode<AssignNode>(*this, first, last, scan.assign);
    if (scan.add >= 0)
    {
        if (TokenAt(scan.add).kind == TokenKind::Plus)
            return BuildNode<AddNode>(*this, first, last, scan.add);
        return BuildNode<SubtractNode>(*this, first, last, scan.add);
    }
    if (scan.mul >= 0)
    {
        if (TokenAt(scan.mul).kind == TokenKind::Multiply)
            return BuildNode<MultiplyNode>(*this, first, last, scan.mul);
        return BuildNode<DivideNode>(*this, first, last, scan.mul);
    }
    if (scan.sign == first)
    {
        if (TokenAt(first).kind == TokenKind::Plus)
            return BuildRange(first + 1, last);
        return BuildNode<NegateNode>(*this, first, last, first);
    }
    if (scan.pow >= 0)
        return BuildNode<ExponentNode>(*this, first, last, scan.pow);
    if (scan.sign >= 0)
        ThrowOver(SyntaxException(), scan.sign, scan.sign);
    if (scan.open == first)
    {
        if (scan.close == last && scan.close > first + 1)
            return BuildRange(first + 1, last - 1);
        ThrowOver(SyntaxException(), scan.open, scan.close);
    }
    if (scan.open == first + 1)
        return BuildFunctionCall(first, last, scan.open, scan.close);
    if (first != last)
        ThrowOver(SyntaxException(), first, last);
    return BuildSingleToken(first);
}

std::unique_ptr<Node> Parser::BuildFunctionCall(int first, int last, int open, int close)
{
    if (close != last)
        ThrowOver(SyntaxException(), open, close);
    // Only a name can be called: 2(3) is a syntax error, not a call of "".
    if (TokenAt(first).kind != TokenKind::Identifier)
        ThrowOver(SyntaxException(), first, first);
    FunctionList* functions = expression->GetFunctionList();
    if (functions == nullptr)
        ThrowOver(NoFunctionListException(), first, first);

    const std::string& name = TokenAt(first).text;
    std::unique_ptr<FunctionNode> node = functions->Create(name, expression);
    if (node == nullptr)
        ThrowOver(NotFoundException(name), first, first);
    node->Build(*this, open, close, 0);
    return node;
}

std::unique_ptr<Node> Parser::BuildSingleToken(int index)
{
    switch (TokenAt(index).kind)
    {
        case TokenKind::Identifier: return BuildNode<VariableNode>(*this, index, index, 0);
        case TokenKind::Number: return BuildNode<ValueNode>(*this, index, index, 0);
        // A lone ",", "&" or at sign carries no number to stand for.
        default: ThrowOver(SyntaxException(), index, index);
    }
}

void Parser::RequireValueList(int nameToken) const
{
    if (expression->GetValueList() == nullptr)
        ThrowOver(NoValueListException(), nameToken, nameToken);
}

double* Parser::FindOrCreateVariable(int nameToken) const
{
    RequireValueList(nameToken);
    ValueList& values = *expression->GetValueList();
    const std::string& name = TokenAt(nameToken).text;
    if (double* cell = values.AddressOf(name))
        return cell;
    values.Add(name, 0.0, false);
    double* cell = values.AddressOf(name);
    if (cell == nullptr)
        ThrowOver(NotFoundException(name), nameToken, nameToken);
    return cell;
}

} // namespace Expr
