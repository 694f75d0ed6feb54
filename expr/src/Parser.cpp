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

namespace Expr
{

    namespace
    {

        // Character classes of the classic locale, independent of the process locale;
        // bytes above 127 belong to none.
        bool IsLetter (char c)
        {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        }

        bool IsDigit (char c)
        {
            return c >= '0' && c <= '9';
        }

        bool IsWhiteSpace (char c)
        {
            return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
        }

        bool StartsNameCharacter (char c)
        {
            return c == '_' || IsLetter (c);
        }

        bool IsSingleCharacterToken (char c, TokenKind& kind)
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
        double ConvertLiteral (const char* begin, const char* end)
        {
            double value = 0.0;
            const auto result = std::from_chars (begin, end, value, std::chars_format::fixed);
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

        // Digits, then a "." and further digits: no exponent, no sign.
        size_t EndOfNumber (std::string_view text, size_t start)
        {
            const size_t length = text.size();
            size_t i = start;
            while (i < length && IsDigit (text[i]))
                ++i;
            if (i < length && text[i] == '.')
            {
                ++i;
                while (i < length && IsDigit (text[i]))
                    ++i;
            }
            return i;
        }

        // "_", letters and digits, and a "." when a "_" or a letter follows it, so
        // that a.b is one name while a.1 is the name a and the number .1.
        size_t EndOfIdentifier (std::string_view text, size_t start)
        {
            const size_t length = text.size();
            size_t i = start;
            while (i < length)
            {
                const char c = text[i];
                const bool dotJoinsName = c == '.' && i + 1 < length && StartsNameCharacter (text[i + 1]);
                if (! (StartsNameCharacter (c) || IsDigit (c) || dotJoinsName))
                    break;
                ++i;
            }
            return i;
        }

        bool IsOperand (TokenKind kind)
        {
            return kind == TokenKind::Identifier || kind == TokenKind::Number;
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

    /** Counts the constructs that enclose the range being built and refuses one
    too many; leaves the count as it found it however the build ends. */
    class Parser::NestingLevels
    {
    public:
        explicit NestingLevels (Parser& owner)
            : parser (owner) {}
        ~NestingLevels() { parser.nesting -= added; }
        NestingLevels (const NestingLevels&) = delete;
        NestingLevels& operator= (const NestingLevels&) = delete;

        /** One level more for the range first..last. */
        void Enter (int first, int last)
        {
            if (parser.nesting + 1 >= maximumNesting)
                parser.ThrowOver (SyntaxException(), first, last);
            ++parser.nesting;
            ++added;
        }

    private:
        Parser& parser;
        int added = 0;
    };

    Parser::Parser (Expression* owner)
        : expression (owner)
    {
        if (owner == nullptr)
            throw NullPointerException ("Parser::Parser");
    }

    // The text outlives the parse, so the tokens are read from it where it is
    // instead of from a copy.
    std::unique_ptr<Node> Parser::Parse (const std::string& text)
    {
        ownCopy.clear();
        TokenizeInPlace (text);
        if (tokens.Empty())
            throw EmptyExpressionException();
        return BuildRange (0, TokenCount() - 1);
    }

    void Parser::Tokenize (const std::string& text)
    {
        ownCopy = text;
        TokenizeInPlace (ownCopy);
    }

    void Parser::TokenizeInPlace (std::string_view text)
    {
        tokens.Reset (0);
        source = {};
        levels.Build (tokens);
        if (text.empty())
            throw EmptyExpressionException();

        // Counting first lets the list be allocated once: a formula of millions
        // of tokens is not copied again and again as the list grows.
        size_t count = 0;
        ForEachToken (text, [&] (TokenKind, size_t, size_t) { ++count; });
        source = text;
        tokens.Reset (count);
        ForEachToken (source, [&] (TokenKind kind, size_t start, size_t end) { AppendToken (kind, start, end); });
        levels.Build (tokens);
    }

    // Calls found(kind, start, end) for each token, end being one past its last
    // character; throws UnknownTokenException at a character that starts none.
    template<class Found>
    void Parser::ForEachToken (std::string_view text, Found&& found)
    {
        const size_t length = text.size();
        bool inComment = false;
        size_t i = 0;
        while (i < length)
        {
            const char c = text[i];
            const size_t start = i++;
            TokenKind kind {};
            if (c == '\n' || c == '\r')
                inComment = false;
            else if (c == '#')
                inComment = true;
            else if (inComment || IsWhiteSpace (c))
                continue;
            else if (IsSingleCharacterToken (c, kind))
                found (kind, start, i);
            else if (c == '.' || IsDigit (c))
                found (TokenKind::Number, start, i = EndOfNumber (text, start));
            else if (StartsNameCharacter (c))
                found (TokenKind::Identifier, start, i = EndOfIdentifier (text, start));
            else
            {
                UnknownTokenException error;
                const int position = static_cast<int> (start);
                error.SetRange (position, position);
                throw error;
            }
        }
    }

    void Parser::AppendToken (TokenKind kind, size_t start, size_t end)
    {
        tokens.PushBack (Token { kind, static_cast<int> (start), static_cast<int> (end) - 1 });
    }

    std::string_view Parser::NameAt (int index) const
    {
        const Token& token = TokenAt (index);
        if (token.kind != TokenKind::Identifier)
            return {};
        return source.substr (static_cast<size_t> (token.start), static_cast<size_t> (token.end - token.start + 1));
    }

    double Parser::NumberAt (int index) const
    {
        const Token& token = TokenAt (index);
        if (token.kind != TokenKind::Number)
            return 0.0;
        return ConvertLiteral (source.data() + token.start, source.data() + token.end + 1);
    }

    Parser::RangeScan Parser::ScanRange (int first, int last) const
    {
        RangeScan scan;
        WalkLevel (first, last, last, [&] (int i) {
            switch (TokenAt (i).kind)
            {
                case TokenKind::OpenParen:
                    if (scan.open < 0)
                        scan.open = i;
                    break;
                case TokenKind::CloseParen:
                    if (scan.close < 0)
                        scan.close = i;
                    break;
                case TokenKind::Assign:
                    if (scan.assign < 0)
                        scan.assign = i;
                    break;
                case TokenKind::Plus:
                case TokenKind::Minus:
                    if (IsSign (first, i))
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
                case TokenKind::Divide: scan.mul = i; break;
                case TokenKind::Power: scan.pow = i; break;
                case TokenKind::Semicolon: scan.separator = true; break;
                default: break;
            }
        });
        return scan;
    }

    // The order of these cases is what gives the operators their precedence:
    // the loosest-binding operator found at depth 0 splits the range, the last
    // one of its level when several are found (left-associative).
    std::unique_ptr<Node> Parser::BuildRange (int first, int last)
    {
        if (first > last)
            throw SyntaxException();
        if (first == last && IsOperand (TokenAt (first).kind))
            return BuildSingleToken (first); // what the cases below come to

        const RangeScan scan = ScanRange (first, last);

        if (scan.separator)
            return BuildNode<MultiNode> (*this, first, last, 0);
        if (scan.assign >= 0)
            return BuildNode<AssignNode> (*this, first, last, scan.assign);
        if (scan.add >= 0)
            return BuildChain (first, last, OperatorLevel::Add);
        if (scan.mul >= 0)
            return BuildChain (first, last, OperatorLevel::Multiply);
        if (scan.sign == first)
            return BuildSignedRange (first, last);
        if (scan.pow >= 0)
            return BuildChain (first, last, OperatorLevel::Power);
        if (scan.sign >= 0)
            ThrowOver (SyntaxException(), scan.sign, scan.sign);
        if (scan.open == first)
        {
            if (scan.close == last && scan.close > first + 1)
                return BuildNestedRange (first + 1, last - 1);
            ThrowOver (SyntaxException(), scan.open, scan.close);
        }
        if (scan.open == first + 1)
            return BuildFunctionCall (first, last, scan.open, scan.close);
        if (first != last)
            ThrowOver (SyntaxException(), first, last);
        return BuildSingleToken (first);
    }

    std::unique_ptr<Node> Parser::BuildNestedRange (int first, int last)
    {
        if (first > last)
            throw SyntaxException();
        NestingLevels nested (*this);
        nested.Enter (first, last);
        return BuildRange (first, last);
    }

    namespace
    {
        std::unique_ptr<BinaryNode> MakeBinaryNode (TokenKind kind, Expression* expression)
        {
            switch (kind)
            {
                case TokenKind::Plus: return std::make_unique<AddNode> (expression);
                case TokenKind::Minus: return std::make_unique<SubtractNode> (expression);
                case TokenKind::Multiply: return std::make_unique<MultiplyNode> (expression);
                case TokenKind::Divide: return std::make_unique<DivideNode> (expression);
                default: return std::make_unique<ExponentNode> (expression);
            }
        }
    } // namespace

    bool Parser::IsSign (int first, int index) const
    {
        return index == first || TokenAt (index - 1).IsOperator();
    }

    Parser::OperatorLevel Parser::LevelOf (int first, int index) const
    {
        switch (TokenAt (index).kind)
        {
            case TokenKind::Plus:
            case TokenKind::Minus: return IsSign (first, index) ? OperatorLevel::None : OperatorLevel::Add;
            case TokenKind::Multiply:
            case TokenKind::Divide: return OperatorLevel::Multiply;
            case TokenKind::Power: return OperatorLevel::Power;
            default: return OperatorLevel::None;
        }
    }

    // a op b op c ... split at the last operator is op(op(a, b), c): the same
    // tree, checks and order of building as splitting the range again and again,
    // without a level of recursion per operator. Each split first checks that its
    // operator has operands on both sides (outermost split first), then the
    // operands are built from left to right.
    std::unique_ptr<Node> Parser::BuildChain (int first, int last, OperatorLevel level)
    {
        // The operators go on a stack shared with the chains built inside this
        // one, which take theirs off again before this one goes on.
        const size_t base = chainOperators.size();
        WalkLevel (first, last, last, [&] (int i) {
            if (LevelOf (first, i) == level)
                chainOperators.push_back (i);
        });
        struct Unwind
        {
            std::vector<int>& stack;
            size_t size;
            ~Unwind() { stack.resize (size); }
        } unwind { chainOperators, base };

        const int count = static_cast<int> (chainOperators.size() - base);
        const auto at = [&] (int k) { return chainOperators[base + static_cast<size_t> (k)]; };
        const auto lastOfSplit = [&] (int k) { return k == count - 1 ? last : at (k + 1) - 1; };

        for (int k = count - 1; k >= 0; --k)
            if (! (first < at (k) && at (k) < lastOfSplit (k)))
                ThrowOver (SyntaxException(), first, lastOfSplit (k));

        std::unique_ptr<Node> chain = BuildRange (first, at (0) - 1);
        std::vector<BinaryNode*> links;
        links.reserve (static_cast<size_t> (count));
        for (int k = 0; k < count; ++k)
        {
            std::unique_ptr<BinaryNode> link = MakeBinaryNode (TokenAt (at (k)).kind, expression);
            link->left = std::move (chain);
            link->right = BuildRange (at (k) + 1, lastOfSplit (k));
            if (std::unique_ptr<Node> folded = FoldConstant (*link, TokenAt (at (k)).kind))
            {
                chain = std::move (folded);
                links.clear(); // the links so far are inside the folded number
                continue;
            }
            link->NoteLeafOperands();
            links.push_back (link.get());
            chain = std::move (link);
        }
        if (links.empty())
            return chain;
        static_cast<BinaryNode&> (*chain).SetChainLinks (std::move (links));
        return chain;
    }

    // Numbers on both sides of + - * / make a number at once: the operators have
    // no side effects on numbers, and the folded number counts as the nodes it
    // replaced toward the abort countdown. A zero divisor stays for evaluation to
    // report; "^" stays for its error indicator.
    std::unique_ptr<Node> Parser::FoldConstant (BinaryNode& link, TokenKind kind) const
    {
        auto* left = dynamic_cast<ValueNode*> (link.left.get());
        auto* right = dynamic_cast<ValueNode*> (link.right.get());
        if (left == nullptr || right == nullptr)
            return nullptr;
        const double l = left->value;
        const double r = right->value;
        double value = 0.0;
        switch (kind)
        {
            case TokenKind::Plus: value = l + r; break;
            case TokenKind::Minus: value = l - r; break;
            case TokenKind::Multiply: value = l * r; break;
            case TokenKind::Divide:
                if (r == 0.0)
                    return nullptr;
                value = l / r;
                break;
            default: return nullptr;
        }
        auto folded = std::make_unique<ValueNode> (expression);
        folded->StandFor (value, 1 + left->Weight() + right->Weight());
        return folded;
    }

    // A run of leading signs, - + - x, each applying to the whole rest of the
    // range: a "+" is dropped, a "-" negates. Every sign is a level of nesting.
    std::unique_ptr<Node> Parser::BuildSignedRange (int first, int last)
    {
        NestingLevels nested (*this);
        std::vector<int> negations;
        int operand = first;
        for (;;)
        {
            const bool negates = TokenAt (operand).kind == TokenKind::Minus;
            if (negates && operand >= last)
                ThrowOver (SyntaxException(), operand, last);
            if (negates)
                negations.push_back (operand);
            if (++operand > last)
                throw SyntaxException(); // a "+" with nothing after it
            nested.Enter (operand, last);
            const TokenKind next = TokenAt (operand).kind;
            if (next != TokenKind::Plus && next != TokenKind::Minus)
                break;
        }

        std::unique_ptr<Node> result = BuildRange (operand, last);
        for (size_t k = negations.size(); k-- > 0;)
        {
            if (auto* number = dynamic_cast<ValueNode*> (result.get()))
            {
                number->StandFor (-number->value, number->Weight() + 1);
                continue;
            }
            auto negation = std::make_unique<NegateNode> (expression);
            negation->child = std::move (result);
            result = std::move (negation);
        }
        return result;
    }

    std::unique_ptr<Node> Parser::BuildFunctionCall (int first, int last, int open, int close)
    {
        if (close != last)
            ThrowOver (SyntaxException(), open, close);
        // Only a name can be called: 2(3) is a syntax error, not a call of "".
        if (TokenAt (first).kind != TokenKind::Identifier)
            ThrowOver (SyntaxException(), first, first);
        FunctionList* functions = expression->GetFunctionList();
        if (functions == nullptr)
            ThrowOver (NoFunctionListException(), first, first);

        const std::string name (NameAt (first));
        std::unique_ptr<FunctionNode> node = functions->Create (name, expression);
        if (node == nullptr)
            ThrowOver (NotFoundException (name), first, first);
        node->Build (*this, open, close, 0);
        return node;
    }

    std::unique_ptr<Node> Parser::BuildSingleToken (int index)
    {
        switch (TokenAt (index).kind)
        {
            case TokenKind::Identifier: return BuildNode<VariableNode> (*this, index, index, 0);
            case TokenKind::Number: return BuildNode<ValueNode> (*this, index, index, 0);
            // A lone ",", "&" or at sign carries no number to stand for.
            default: ThrowOver (SyntaxException(), index, index);
        }
    }

    void Parser::RequireValueList (int nameToken) const
    {
        if (expression->GetValueList() == nullptr)
            ThrowOver (NoValueListException(), nameToken, nameToken);
    }

    double* Parser::FindOrCreateVariable (int nameToken) const
    {
        RequireValueList (nameToken);
        ValueList& values = *expression->GetValueList();
        const std::string name (NameAt (nameToken));
        if (double* cell = values.AddressOf (name))
            return cell;
        values.Add (name, 0.0, false);
        double* cell = values.AddressOf (name);
        if (cell == nullptr)
            ThrowOver (NotFoundException (name), nameToken, nameToken);
        return cell;
    }

} // namespace Expr
