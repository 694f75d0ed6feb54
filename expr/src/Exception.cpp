#include <expr/Exception.h>

#include <utility>

namespace Expr {

namespace {
enum Code
{
    notFound = 2,
    alreadyExists = 3,
    nullPointer = 4,
    math = 5,
    divideByZero = 6,
    noValueList = 7,
    noFunctionList = 8,
    noDataList = 9,
    abort = 10,
    emptyExpression = 11,
    unknownToken = 12,
    invalidArgumentCount = 13,
    constantAssign = 14,
    constantReference = 15,
    syntax = 16,
    unmatchedParenthesis = 17
};
} // namespace

Exception::Exception(int exceptionCode, std::string exceptionText)
    : code(exceptionCode), text(std::move(exceptionText))
{
}

const char* Exception::what() const noexcept
{
    return "Unknown exception";
}

NotFoundException::NotFoundException(const std::string& name) : Exception(notFound, name) {}
AlreadyExistsException::AlreadyExistsException(const std::string& name) : Exception(alreadyExists, name) {}
NullPointerException::NullPointerException(const std::string& operation) : Exception(nullPointer, operation) {}
MathException::MathException(const std::string& operatorOrFunction) : Exception(math, operatorOrFunction) {}
DivideByZeroException::DivideByZeroException() : Exception(divideByZero, {}) {}
NoValueListException::NoValueListException() : Exception(noValueList, {}) {}
NoFunctionListException::NoFunctionListException() : Exception(noFunctionList, {}) {}
NoDataListException::NoDataListException() : Exception(noDataList, {}) {}
AbortException::AbortException() : Exception(abort, {}) {}
EmptyExpressionException::EmptyExpressionException() : Exception(emptyExpression, {}) {}
UnknownTokenException::UnknownTokenException() : Exception(unknownToken, {}) {}
InvalidArgumentCountException::InvalidArgumentCountException(const std::string& functionName)
    : Exception(invalidArgumentCount, functionName) {}
ConstantAssignException::ConstantAssignException(const std::string& name) : Exception(constantAssign, name) {}
ConstantReferenceException::ConstantReferenceException(const std::string& name)
    : Exception(constantReference, name) {}
SyntaxException::SyntaxException() : Exception(syntax, {}) {}
UnmatchedParenthesisException::UnmatchedParenthesisException() : Exception(unmatchedParenthesis, {}) {}

} // namespace Expr
