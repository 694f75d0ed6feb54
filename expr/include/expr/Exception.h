#pragma once

#include <exception>
#include <string>

namespace Expr
{

    namespace Codes
    {

        /** The code of each concrete error class below. With ErrorTable() in
    Exception.cpp this is the one place codes are defined; a caller that
    names codes (as tables of expected errors do) brings them in with
    using namespace Expr::Codes. */
        enum ErrorCode : int
        {
            NotFound = 2,
            AlreadyExists = 3,
            NullPointer = 4,
            Math = 5,
            DivideByZero = 6,
            NoValueList = 7,
            NoFunctionList = 8,
            NoDataList = 9,
            Abort = 10,
            EmptyExpression = 11,
            UnknownToken = 12,
            InvalidArgumentCount = 13,
            ConstantAssign = 14,
            ConstantReference = 15,
            Syntax = 16,
            UnmatchedParenthesis = 17
        };

    } // namespace Codes

    using Codes::ErrorCode;

    /** What the table says of one error class. */
    struct ErrorClassEntry
    {
        ErrorCode code;
        const char* className; // "NotFoundException"
        const char* words;     // the error in words for users, before its text
        bool takesText;        // whether the class's constructor takes the text
    };

    /** The entry of a code; null for a code no class has. */
    const ErrorClassEntry* FindErrorClass (int code);

    /** Base of every error the formula engine throws.

    Carries a numeric code that identifies the concrete class, a text naming
    what the error concerns (a variable, function or operation; empty for the
    classes that take none), and the inclusive range of characters in the
    formula that the error concerns (-1, -1 when there is none). The base is
    never thrown by itself; throw one of the concrete classes below by value
    and catch the family by reference. */
    class Exception : public std::exception
    {
    public:
        /** Identifies the concrete class: 2 NotFoundException, 3 AlreadyExists,
        4 NullPointer, 5 Math, 6 DivideByZero, 7 NoValueList, 8 NoFunctionList,
        9 NoDataList, 10 Abort, 11 EmptyExpression, 12 UnknownToken,
        13 InvalidArgumentCount, 14 ConstantAssign, 15 ConstantReference,
        16 Syntax, 17 UnmatchedParenthesis. */
        int Code() const noexcept { return code; }
        /** The name or operation the error concerns; empty for classes that take none. */
        const std::string& Text() const noexcept { return text; }
        /** Index of the first character of the formula concerned, or -1. */
        int Start() const noexcept { return start; }
        /** Index of the last character concerned (inclusive), or -1. */
        int End() const noexcept { return end; }

        /** Sets the character range; called by the thrower before the throw. */
        void SetRange (int newStart, int newEnd) noexcept
        {
            start = newStart;
            end = newEnd;
        }

        /** Always "Unknown exception": the information lives in the code, class,
        text and positions, never in this text. */
        const char* what() const noexcept override;

    protected:
        /** For the concrete classes: sets the code and the text, no positions. */
        Exception (int exceptionCode, std::string exceptionText);

    private:
        int code;
        std::string text;
        int start = -1;
        int end = -1;
    };

    /** A function, variable or data entry of that name does not exist. */
    class NotFoundException : public Exception
    {
    public:
        explicit NotFoundException (const std::string& name);
    };

    /** A registry already holds an entry of that name. */
    class AlreadyExistsException : public Exception
    {
    public:
        explicit AlreadyExistsException (const std::string& name);
    };

    /** An operation received a null object it cannot work without. */
    class NullPointerException : public Exception
    {
    public:
        explicit NullPointerException (const std::string& operation);
    };

    /** A mathematical operator or function reported a domain or range error. */
    class MathException : public Exception
    {
    public:
        explicit MathException (const std::string& operatorOrFunction);
    };

    /** The divisor of "/" is zero. */
    class DivideByZeroException : public Exception
    {
    public:
        DivideByZeroException();
    };

    /** The formula uses a variable but the expression has no value list. */
    class NoValueListException : public Exception
    {
    public:
        NoValueListException();
    };

    /** The formula calls a function but the expression has no function list. */
    class NoFunctionListException : public Exception
    {
    public:
        NoFunctionListException();
    };

    /** The formula names a data entry but the expression has no data list. */
    class NoDataListException : public Exception
    {
    public:
        NoDataListException();
    };

    /** Evaluation was stopped because the expression's abort hook said so. */
    class AbortException : public Exception
    {
    public:
        AbortException();
    };

    /** The formula holds nothing to evaluate. */
    class EmptyExpressionException : public Exception
    {
    public:
        EmptyExpressionException();
    };

    /** A character that starts no token. */
    class UnknownTokenException : public Exception
    {
    public:
        UnknownTokenException();
    };

    /** A call has too few or too many arguments of some kind. */
    class InvalidArgumentCountException : public Exception
    {
    public:
        explicit InvalidArgumentCountException (const std::string& functionName);
    };

    /** Assignment to a constant. */
    class ConstantAssignException : public Exception
    {
    public:
        explicit ConstantAssignException (const std::string& name);
    };

    /** A constant passed where a writable variable is required (&name). */
    class ConstantReferenceException : public Exception
    {
    public:
        explicit ConstantReferenceException (const std::string& name);
    };

    /** The tokens do not form a valid statement or expression. */
    class SyntaxException : public Exception
    {
    public:
        SyntaxException();
    };

    /** A parenthesis without its partner. */
    class UnmatchedParenthesisException : public Exception
    {
    public:
        UnmatchedParenthesisException();
    };

} // namespace Expr
