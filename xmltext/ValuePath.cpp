#include "ValuePath.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

struct ValuePath::Expression
{
    enum class Kind
    {
        attribute,
        self,
        literal,
        number,
        compare,
        both,
        either,
        negation,
        contains,
        startsWith
    };

    Kind kind = Kind::literal;
    std::string text; // attribute name, literal, or comparison operator
    double number = 0.0;
    std::vector<Expression> operands;
};

struct ValuePath::ElementStep
{
    std::string name; // empty for "*"
    std::vector<Expression> conditions;
};

namespace
{
    using Expression = ValuePath::Expression;

    /** An operand's value as XPath sees it: a node set of at most one node
        (an attribute or the selected value), a text, a number or a truth. */
    struct Operand
    {
        enum class Kind
        {
            node,
            text,
            number,
            truth
        };

        Kind kind = Kind::text;
        bool present = false; // a node set holds its node
        std::string_view text;
        double number = 0.0;
        bool truth = false;
    };

    struct Context
    {
        const ValuePath::Attributes* attributes = nullptr;
        std::string_view self;
    };

    bool isXmlSpace (char c)
    {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    }

    /** XPath's number(): a decimal number between blanks, else NaN. */
    double numberOf (std::string_view text)
    {
        while (! text.empty() && isXmlSpace (text.front()))
            text.remove_prefix (1);
        while (! text.empty() && isXmlSpace (text.back()))
            text.remove_suffix (1);
        if (text.empty() || ! (std::isdigit ((unsigned char) text.back()) || text.back() == '.'))
            return std::numeric_limits<double>::quiet_NaN();
        double value = 0.0;
        const auto result = std::from_chars (text.data(), text.data() + text.size(), value, std::chars_format::fixed);
        if (result.ec != std::errc() || result.ptr != text.data() + text.size())
            return std::numeric_limits<double>::quiet_NaN();
        return value;
    }

    bool truthOf (const Operand& operand)
    {
        switch (operand.kind)
        {
            case Operand::Kind::node: return operand.present;
            case Operand::Kind::text: return ! operand.text.empty();
            case Operand::Kind::number: return operand.number != 0.0 && ! std::isnan (operand.number);
            case Operand::Kind::truth: break;
        }
        return operand.truth;
    }

    double numberOf (const Operand& operand)
    {
        switch (operand.kind)
        {
            case Operand::Kind::node:
            case Operand::Kind::text: return numberOf (operand.text);
            case Operand::Kind::number: return operand.number;
            case Operand::Kind::truth: break;
        }
        return operand.truth ? 1.0 : 0.0;
    }

    std::string textOf (const Operand& operand)
    {
        switch (operand.kind)
        {
            case Operand::Kind::node:
            case Operand::Kind::text: return std::string (operand.text);
            case Operand::Kind::number:
            {
                char buffer[40];
                const auto result = std::to_chars (buffer, buffer + sizeof buffer, operand.number);
                return std::string (buffer, result.ptr);
            }
            case Operand::Kind::truth: break;
        }
        return operand.truth ? "true" : "false";
    }

    template<class T>
    bool compareValues (const T& a, const T& b, const std::string& op)
    {
        if (op == "=")
            return a == b;
        if (op == "!=")
            return a != b;
        if (op == "<")
            return a < b;
        if (op == "<=")
            return a <= b;
        if (op == ">")
            return a > b;
        return a >= b;
    }

    /** XPath 1.0's comparison of two values, for node sets of at most one node. */
    bool compareOperands (const Operand& a, const Operand& b, const std::string& op)
    {
        if ((a.kind == Operand::Kind::node && ! a.present) || (b.kind == Operand::Kind::node && ! b.present))
            return false;
        const bool equality = op == "=" || op == "!=";
        if (! equality)
            return compareValues (numberOf (a), numberOf (b), op);
        if (a.kind == Operand::Kind::truth || b.kind == Operand::Kind::truth)
            return compareValues (truthOf (a), truthOf (b), op);
        if (a.kind == Operand::Kind::number || b.kind == Operand::Kind::number)
            return compareValues (numberOf (a), numberOf (b), op);
        return compareValues (a.text, b.text, op);
    }

    Operand evaluate (const Expression& expression, const Context& context)
    {
        Operand result;
        switch (expression.kind)
        {
            case Expression::Kind::attribute:
            {
                result.kind = Operand::Kind::node;
                const char* value = context.attributes != nullptr ? context.attributes->find (expression.text) : nullptr;
                result.present = value != nullptr;
                if (value != nullptr)
                    result.text = value;
                return result;
            }
            case Expression::Kind::self:
                result.kind = Operand::Kind::node;
                result.present = true;
                result.text = context.self;
                return result;
            case Expression::Kind::literal:
                result.text = expression.text;
                return result;
            case Expression::Kind::number:
                result.kind = Operand::Kind::number;
                result.number = expression.number;
                return result;
            case Expression::Kind::compare:
                result.truth = compareOperands (evaluate (expression.operands[0], context),
                                                evaluate (expression.operands[1], context), expression.text);
                break;
            case Expression::Kind::both:
                result.truth = true;
                for (const auto& operand : expression.operands)
                    if (! truthOf (evaluate (operand, context)))
                        result.truth = false;
                break;
            case Expression::Kind::either:
                for (const auto& operand : expression.operands)
                    if (truthOf (evaluate (operand, context)))
                        result.truth = true;
                break;
            case Expression::Kind::negation:
                result.truth = ! truthOf (evaluate (expression.operands[0], context));
                break;
            case Expression::Kind::contains:
            case Expression::Kind::startsWith:
            {
                const auto haystack = textOf (evaluate (expression.operands[0], context));
                const auto needle = textOf (evaluate (expression.operands[1], context));
                result.truth = expression.kind == Expression::Kind::contains ? haystack.find (needle) != std::string::npos
                                                                             : haystack.compare (0, needle.size(), needle) == 0;
                break;
            }
        }
        result.kind = Operand::Kind::truth;
        return result;
    }

    bool allHold (const std::vector<Expression>& conditions, const Context& context)
    {
        for (const auto& condition : conditions)
            if (! truthOf (evaluate (condition, context)))
                return false;
        return true;
    }

    bool isNameStart (char c)
    {
        return std::isalpha ((unsigned char) c) || c == '_' || (unsigned char) c >= 0x80;
    }

    bool isNameCharacter (char c)
    {
        return isNameStart (c) || std::isdigit ((unsigned char) c) || c == '-' || c == '.' || c == ':';
    }

    struct RefusedPath
    {
        ValuePath::Refusal refusal;
    };
}

/** A recursive-descent reader of the path's text that refuses, with the
    place, whatever streaming cannot decide. */
class ValuePath::Parser
{
public:
    Parser (std::string_view textToRead, ValuePath& pathToFill, bool takesElements)
        : text (textToRead), path (pathToFill), elementsAllowed (takesElements) {}

    void readPath()
    {
        skipBlanks();
        if (atEnd())
            refuse ("the path is empty", 0, text.size());
        if (peek() != '/')
            refuse ("a path starts with / (from the root) or // (anywhere)", position, position + 1);

        bool finished = false;
        while (! finished)
        {
            skipBlanks();
            if (atEnd())
                refuse ("a path ends with @name or text()", 0, text.size());
            if (peek() != '/')
                refuse ("a step must follow /, nothing else", position, position + 1);
            const size_t separatorStart = position;
            const bool descendant = text.compare (position, 2, "//") == 0;
            position += descendant ? 2 : 1;
            skipBlanks();
            finished = readStep (descendant, separatorStart);
            if (! finished && elementsAllowed && (skipBlanks(), atEnd()))
            {
                path.selectedTarget = Target::element;
                finished = true;
            }
        }

        skipBlanks();
        if (! atEnd())
            refuse ("nothing may follow the attribute or text() step", position, text.size());
    }

private:
    // Conditions are read and evaluated by recursion on their nesting; a
    // bound keeps a hostile path from exhausting the stack (a worker
    // thread's is small on some systems).
    static constexpr int maximumNesting = 256;

    std::string_view text;
    ValuePath& path;
    bool elementsAllowed = false;
    size_t position = 0;
    int nesting = 0;

    /** One level of brackets or function calls more while it lives. */
    class NestingLevel
    {
    public:
        NestingLevel (Parser& parserToCount, size_t start)
            : parser (parserToCount)
        {
            if (parser.nesting >= maximumNesting)
                parser.refuse ("the condition nests deeper than " + std::to_string (maximumNesting) + " levels", start, start + 1);
            ++parser.nesting;
        }
        ~NestingLevel() { --parser.nesting; }
        NestingLevel (const NestingLevel&) = delete;
        NestingLevel& operator= (const NestingLevel&) = delete;

    private:
        Parser& parser;
    };

    [[noreturn]] void refuse (std::string message, size_t start, size_t end) const
    {
        throw RefusedPath { { std::move (message), start, std::max (end, start + 1) } };
    }

    bool atEnd() const { return position >= text.size(); }
    char peek (size_t ahead = 0) const { return position + ahead < text.size() ? text[position + ahead] : '\0'; }

    void skipBlanks()
    {
        while (! atEnd() && isXmlSpace (peek()))
            ++position;
    }

    bool accept (std::string_view token)
    {
        skipBlanks();
        if (text.compare (position, token.size(), token) != 0)
            return false;
        position += token.size();
        return true;
    }

    void expect (std::string_view token, const char* what)
    {
        if (! accept (token))
            refuse (std::string ("expected ") + what, position, position + 1);
    }

    std::string readName()
    {
        skipBlanks();
        const size_t start = position;
        if (atEnd() || ! isNameStart (peek()))
            refuse ("expected a name", position, position + 1);
        while (! atEnd() && isNameCharacter (peek()))
        {
            if (peek() == ':' && peek (1) == ':')
                refuse ("axes (name::) are not supported: use / or //", start, position + 2);
            ++position;
        }
        return std::string (text.substr (start, position - start));
    }

    bool isTextCall() const
    {
        if (text.compare (position, 4, "text") != 0)
            return false;
        auto after = position + 4;
        while (after < text.size() && isXmlSpace (text[after]))
            ++after;
        return after < text.size() && text[after] == '(';
    }

    /** Reads one step; true when it was the last (an attribute or text()). */
    bool readStep (bool descendant, size_t separatorStart)
    {
        const size_t start = position;
        if (peek() == '@' || isTextCall())
            return readValueStep (descendant, separatorStart);

        if (peek() == '.')
            refuse ("the steps . and .. are not supported", start, peek (1) == '.' ? start + 2 : start + 1);

        ElementStep step;
        if (! accept ("*"))
            step.name = readName();
        if (skipBlanks(); peek() == '(')
            refuse ("the function " + step.name + "() is not supported as a step", start, position + 1);

        while (accept ("["))
            step.conditions.push_back (readCondition (false));

        if (path.steps.size() >= 63)
            refuse ("a path takes at most 63 element steps", start, position);
        (descendant ? path.descendantSteps : path.childSteps) |= uint64_t (1) << path.steps.size();
        path.steps.push_back (std::move (step));
        return false;
    }

    bool readValueStep (bool descendant, size_t separatorStart)
    {
        const size_t start = position;
        if (accept ("@"))
        {
            if (skipBlanks(); peek() == '*')
                refuse ("name the attribute: @* is not supported", start, position + 1);
            path.selectedTarget = Target::attribute;
            path.selectedAttribute = readName();
        }
        else
        {
            position += 4;
            expect ("(", "( after text");
            expect (")", ") after text(");
            path.selectedTarget = Target::text;
        }

        if (path.steps.empty() && ! descendant)
            refuse ("the document itself has no attributes or text: start with // or name the root element",
                    separatorStart, position);
        // "//@a" and "//text()": any element's.
        if (descendant)
        {
            path.descendantSteps |= uint64_t (1) << path.steps.size();
            path.steps.push_back ({});
        }

        while (accept ("["))
            path.valueConditions.push_back (readCondition (true));
        return true;
    }

    Expression readCondition (bool onValue)
    {
        const size_t start = position;
        auto condition = readEither (onValue);
        if (condition.kind == Expression::Kind::number)
            refuse ("positions are not supported: they depend on siblings", start, position);
        expect ("]", "] or a condition");
        return condition;
    }

    Expression readEither (bool onValue)
    {
        auto first = readBoth (onValue);
        if (! acceptWord ("or"))
            return first;
        Expression either { Expression::Kind::either, {}, 0.0, {} };
        either.operands.push_back (std::move (first));
        do
            either.operands.push_back (readBoth (onValue));
        while (acceptWord ("or"));
        return either;
    }

    Expression readBoth (bool onValue)
    {
        auto first = readComparison (onValue);
        if (! acceptWord ("and"))
            return first;
        Expression both { Expression::Kind::both, {}, 0.0, {} };
        both.operands.push_back (std::move (first));
        do
            both.operands.push_back (readComparison (onValue));
        while (acceptWord ("and"));
        return both;
    }

    bool acceptWord (std::string_view word)
    {
        skipBlanks();
        if (text.compare (position, word.size(), word) != 0 || isNameCharacter (peek (word.size())))
            return false;
        position += word.size();
        return true;
    }

    Expression readComparison (bool onValue)
    {
        auto left = readOperand (onValue);
        skipBlanks();
        for (const char* op : { "!=", "<=", ">=", "=", "<", ">" })
        {
            if (accept (op))
            {
                Expression comparison { Expression::Kind::compare, op, 0.0, {} };
                comparison.operands.push_back (std::move (left));
                comparison.operands.push_back (readOperand (onValue));
                return comparison;
            }
        }
        return left;
    }

    Expression readOperand (bool onValue)
    {
        skipBlanks();
        const size_t start = position;
        const char c = peek();

        if (c == '@')
        {
            ++position;
            if (onValue)
                refuse ("an attribute or text has no attributes: put the condition on its element", start, position);
            if (skipBlanks(); peek() == '*')
                refuse ("name the attribute: @* is not supported", start, position + 1);
            return { Expression::Kind::attribute, readName(), 0.0, {} };
        }
        if (c == '.' && ! std::isdigit ((unsigned char) peek (1)))
        {
            if (peek (1) == '.')
                refuse ("the step .. is not supported", start, start + 2);
            ++position;
            if (! onValue)
                refuse (". (the selected value) may only be used on the last step", start, position);
            return { Expression::Kind::self, {}, 0.0, {} };
        }
        if (c == '\'' || c == '"')
        {
            const auto close = text.find (c, position + 1);
            if (close == std::string_view::npos)
                refuse ("the text has no closing quote", start, text.size());
            position = close + 1;
            return { Expression::Kind::literal, std::string (text.substr (start + 1, close - start - 1)), 0.0, {} };
        }
        if (std::isdigit ((unsigned char) c) || c == '.' || (c == '-' && (std::isdigit ((unsigned char) peek (1)) || peek (1) == '.')))
            return readNumber();
        if (c == '(')
        {
            const NestingLevel level (*this, start);
            ++position;
            auto inner = readEither (onValue);
            expect (")", ")");
            return inner;
        }
        if (isNameStart (c))
            return readFunction (onValue);
        if (atEnd())
            refuse ("the condition is not finished", start, start + 1);
        refuse (std::string ("'") + c + "' is not supported here", start, start + 1);
    }

    Expression readNumber()
    {
        const size_t start = position;
        if (peek() == '-')
            ++position;
        while (std::isdigit ((unsigned char) peek()) || peek() == '.')
            ++position;
        const double value = numberOf (text.substr (start, position - start));
        if (std::isnan (value))
            refuse ("not a number", start, position);
        return { Expression::Kind::number, {}, value, {} };
    }

    Expression readFunction (bool onValue)
    {
        const size_t start = position;
        const auto name = readName();
        skipBlanks();
        if (peek() != '(')
            refuse ("'" + name + "' is not supported here: name an attribute with @" + name + " or quote a text", start, position);
        ++position;

        if (name == "position" || name == "last")
            refuse ("positions are not supported: they depend on siblings", start, position);
        const NestingLevel level (*this, start);
        if (name == "not")
        {
            Expression negation { Expression::Kind::negation, {}, 0.0, {} };
            negation.operands.push_back (readEither (onValue));
            expect (")", ") after not(...");
            return negation;
        }
        if (name == "contains" || name == "starts-with")
        {
            Expression call { name == "contains" ? Expression::Kind::contains : Expression::Kind::startsWith, {}, 0.0, {} };
            call.operands.push_back (readOperand (onValue));
            expect (",", ", between the two texts");
            call.operands.push_back (readOperand (onValue));
            expect (")", ") after the two texts");
            return call;
        }
        refuse ("the function " + name + "() is not supported", start, position);
    }
};

const char* ValuePath::Attributes::find (std::string_view name) const
{
    for (int i = 0; i + 1 < count; i += 2)
        if (name == pairs[i])
            return pairs[i + 1];
    return nullptr;
}

ValuePath::ValuePath() = default;
ValuePath::ValuePath (ValuePath&&) noexcept = default;
ValuePath& ValuePath::operator= (ValuePath&&) noexcept = default;
ValuePath::~ValuePath() = default;

bool ValuePath::isPath (std::string_view text)
{
    return text.find_first_of ("/[@(") != std::string_view::npos;
}

std::optional<ValuePath> ValuePath::parse (std::string_view text, Refusal& refusal, bool elementsAllowed)
{
    ValuePath path;
    try
    {
        Parser (text, path, elementsAllowed).readPath();
    }
    catch (const RefusedPath& refused)
    {
        refusal = refused.refusal;
        refusal.end = std::min (refusal.end, std::max (text.size(), refusal.start + 1));
        return std::nullopt;
    }
    path.selectedBit = uint64_t (1) << path.steps.size();
    return path;
}

std::string ValuePath::describe (std::string_view text, const Refusal& refusal)
{
    // One caret a character: continuation bytes of UTF-8 take no column.
    const auto columns = [&] (size_t from, size_t to) {
        size_t count = 0;
        for (size_t i = from; i < to && i < text.size(); ++i)
            if (((unsigned char) text[i] & 0xc0) != 0x80)
                ++count;
        return count;
    };
    const auto before = columns (0, refusal.start);
    const auto under = std::max<size_t> (1, columns (refusal.start, refusal.end));
    return std::string (text) + "\n" + std::string (before, ' ') + std::string (under, '^') + "\n" + refusal.message;
}

ValuePath::ElementState ValuePath::rootState() const
{
    return { 1, 1 & descendantSteps };
}

ValuePath::ElementState ValuePath::enter (const ElementState& parent, std::string_view name, const Attributes& attributes) const
{
    ElementState element { 0, parent.open };
    auto candidates = (parent.reached & childSteps) | (parent.open & descendantSteps);
    const Context context { &attributes, {} };
    for (size_t j = 0; candidates != 0; ++j, candidates >>= 1)
    {
        if ((candidates & 1u) == 0)
            continue;
        const auto& step = steps[j];
        if ((step.name.empty() || step.name == name) && allHold (step.conditions, context))
            element.reached |= uint64_t (1) << (j + 1);
    }
    element.open |= element.reached & descendantSteps;
    return element;
}

bool ValuePath::acceptsValue (std::string_view value) const
{
    return allHold (valueConditions, { nullptr, value });
}
