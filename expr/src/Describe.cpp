#include <expr/Describe.h>

namespace Expr
{

    namespace
    {
        std::string Quoted (const std::string& text)
        {
            return "\"" + text + "\"";
        }
    } // namespace

    // The words come from the error table. Names that are still missing after
    // being created can only be function names in practice (variables and data
    // entries are added on first use), hence "unknown function".
    std::string Describe (const Exception& error)
    {
        const std::string& text = error.Text();
        const ErrorClassEntry* entry = FindErrorClass (error.Code());
        if (entry == nullptr)
            return text.empty() ? "unknown error" : "unknown error in " + Quoted (text);
        if (! entry->takesText)
            return entry->words;
        return std::string (entry->words) + " " + Quoted (text);
    }

} // namespace Expr
