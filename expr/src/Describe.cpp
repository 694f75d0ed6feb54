#include <expr/Describe.h>

namespace Expr {

namespace {
std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}
} // namespace

std::string Describe(const Exception& error)
{
    const std::string& text = error.Text();
    switch (error.Code())
    {
        // Names that are still missing after being created can only be
        // function names in practice: variables and data entries are added
        // on first use.
        case 2: return "unknown function " + Quoted(text);
        case 3: return "name already in use " + Quoted(text);
        case 4: return "missing object in " + Quoted(text);
        case 5: return "math error in " + Quoted(text);
        case 6: return "division by zero";
        case 7: return "variables used without a value list";
        case 8: return "functions called without a function list";
        case 9: return "data used without a data list";
        case 10: return "evaluation aborted";
        case 11: return "empty expression";
        case 12: return "unknown character";
        case 13: return "wrong number of arguments for " + Quoted(text);
        case 14: return "assignment to constant " + Quoted(text);
        case 15: return "constant passed by reference " + Quoted(text);
        case 16: return "syntax error";
        case 17: return "unmatched parenthesis";
        default: return text.empty() ? "unknown error" : "unknown error in " + Quoted(text);
    }
}

} // namespace Expr
