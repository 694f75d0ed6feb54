#include <expr/Exception.h>

#include <utility>

namespace Expr
{

    namespace
    {

        // Every error class with its code, name and words, in the order of the codes.
        constexpr ErrorClassEntry errorTable[] = {
            { Codes::NotFound, "NotFoundException", "unknown function", true },
            { Codes::AlreadyExists, "AlreadyExistsException", "name already in use", true },
            { Codes::NullPointer, "NullPointerException", "missing object in", true },
            { Codes::Math, "MathException", "math error in", true },
            { Codes::DivideByZero, "DivideByZeroException", "division by zero", false },
            { Codes::NoValueList, "NoValueListException", "variables used without a value list", false },
            { Codes::NoFunctionList, "NoFunctionListException", "functions called without a function list", false },
            { Codes::NoDataList, "NoDataListException", "data used without a data list", false },
            { Codes::Abort, "AbortException", "evaluation aborted", false },
            { Codes::EmptyExpression, "EmptyExpressionException", "empty expression", false },
            { Codes::UnknownToken, "UnknownTokenException", "unknown character", false },
            { Codes::InvalidArgumentCount, "InvalidArgumentCountException", "wrong number of arguments for", true },
            { Codes::ConstantAssign, "ConstantAssignException", "assignment to constant", true },
            { Codes::ConstantReference, "ConstantReferenceException", "constant passed by reference", true },
            { Codes::Syntax, "SyntaxException", "syntax error", false },
            { Codes::UnmatchedParenthesis, "UnmatchedParenthesisException", "unmatched parenthesis", false },
        };

    } // namespace

    const ErrorClassEntry* FindErrorClass (int code)
    {
        for (const ErrorClassEntry& entry : errorTable)
            if (entry.code == code)
                return &entry;
        return nullptr;
    }

    Exception::Exception (int exceptionCode, std::string exceptionText)
        : code (exceptionCode), text (std::move (exceptionText))
    {
    }

    const char* Exception::what() const noexcept
    {
        return "Unknown exception";
    }

    NotFoundException::NotFoundException (const std::string& name)
        : Exception (Codes::NotFound, name) {}
    AlreadyExistsException::AlreadyExistsException (const std::string& name)
        : Exception (Codes::AlreadyExists, name) {}
    NullPointerException::NullPointerException (const std::string& operation)
        : Exception (Codes::NullPointer, operation) {}
    MathException::MathException (const std::string& operatorOrFunction)
        : Exception (Codes::Math, operatorOrFunction) {}
    DivideByZeroException::DivideByZeroException()
        : Exception (Codes::DivideByZero, {}) {}
    NoValueListException::NoValueListException()
        : Exception (Codes::NoValueList, {}) {}
    NoFunctionListException::NoFunctionListException()
        : Exception (Codes::NoFunctionList, {}) {}
    NoDataListException::NoDataListException()
        : Exception (Codes::NoDataList, {}) {}
    AbortException::AbortException()
        : Exception (Codes::Abort, {}) {}
    EmptyExpressionException::EmptyExpressionException()
        : Exception (Codes::EmptyExpression, {}) {}
    UnknownTokenException::UnknownTokenException()
        : Exception (Codes::UnknownToken, {}) {}
    InvalidArgumentCountException::InvalidArgumentCountException (const std::string& functionName)
        : Exception (Codes::InvalidArgumentCount, functionName) {}
    ConstantAssignException::ConstantAssignException (const std::string& name)
        : Exception (Codes::ConstantAssign, name) {}
    ConstantReferenceException::ConstantReferenceException (const std::string& name)
        : Exception (Codes::ConstantReference, name) {}
    SyntaxException::SyntaxException()
        : Exception (Codes::Syntax, {}) {}
    UnmatchedParenthesisException::UnmatchedParenthesisException()
        : Exception (Codes::UnmatchedParenthesis, {}) {}

} // namespace Expr
