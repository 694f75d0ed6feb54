// The man pages are the one written source of the documentation: the README's
// tables are copies of the formula page's, every function and error of the
// engine is in both, and every option a tool's --help names is in its page.
#include "ProgramOutput.h"

#include "FormulaEngine.h"

#include <expr/Describe.h>
#include <expr/Exception.h>

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace
{

    std::string ManPage (const std::string& name)
    {
        return ReadTextFile (QUILLMERE_MAN_DIR "/" + name + ".md");
    }

    std::string Readme()
    {
        return ReadTextFile (QUILLMERE_README);
    }

    // The text from the heading "# title" up to the next heading of that level.
    std::string Section (const std::string& page, const std::string& title)
    {
        const std::string heading = "\n# " + title + "\n";
        const size_t start = page.find (heading);
        if (start == std::string::npos)
            return {};
        const size_t end = page.find ("\n# ", start + heading.size());
        return page.substr (start, end == std::string::npos ? std::string::npos : end - start);
    }

    std::vector<std::string> Lines (const std::string& text)
    {
        std::vector<std::string> lines;
        std::istringstream in (text);
        for (std::string line; std::getline (in, line);)
            lines.push_back (line);
        return lines;
    }

    std::set<std::string> Matches (const std::string& text, const std::regex& pattern, int group = 1)
    {
        std::set<std::string> found;
        for (std::sregex_iterator i (text.begin(), text.end(), pattern), end; i != end; ++i)
            found.insert ((*i)[group].str());
        return found;
    }

    std::set<std::string> EngineFunctionNames()
    {
        FormulaEngine engine;
        std::set<std::string> names;
        for (int i = 0; i < engine.getFunctions().Count(); ++i)
            names.insert (engine.getFunctions().FactoryAt (i).FunctionName());
        return names;
    }

    // One error of each kind, with "NAME" as the name where it takes one.
    std::vector<std::string> EveryErrorText()
    {
        const std::string name = "NAME";
        const std::vector<Expr::Exception> errors {
            Expr::NotFoundException (name),
            Expr::AlreadyExistsException (name),
            Expr::NullPointerException (name),
            Expr::MathException (name),
            Expr::DivideByZeroException(),
            Expr::NoValueListException(),
            Expr::NoFunctionListException(),
            Expr::NoDataListException(),
            Expr::AbortException(),
            Expr::EmptyExpressionException(),
            Expr::UnknownTokenException(),
            Expr::InvalidArgumentCountException (name),
            Expr::ConstantAssignException (name),
            Expr::ConstantReferenceException (name),
            Expr::SyntaxException(),
            Expr::UnmatchedParenthesisException(),
        };
        std::vector<std::string> texts;
        for (const auto& error : errors)
            texts.push_back (Expr::Describe (error));
        return texts;
    }

    // The options a --help text names: words starting with - or -- after a space,
    // a bracket or a bar.
    std::set<std::string> HelpOptions (const std::string& program)
    {
        const auto help = ProgramOutput::of ("'" + program + "' --help");
        EXPECT_EQ (help.exitStatus, 0) << program;
        return Matches (help.output, std::regex (R"((?:^|[\s\[|,])(--?[A-Za-z][A-Za-z0-9-]*))"));
    }

    // The options a man page's OPTIONS section defines, in bold: **-h**, **\--replace**.
    std::set<std::string> ManPageOptions (const std::string& page)
    {
        return Matches (Section (ManPage (page), "OPTIONS"), std::regex (R"(\*\*\\?(--?[A-Za-z][A-Za-z0-9-]*)\*\*)"));
    }

    void ExpectSameOptions (const std::string& program, const std::string& page)
    {
        const auto inHelp = HelpOptions (program);
        const auto inPage = ManPageOptions (page);
        EXPECT_GE (inHelp.size(), 3u) << program;
        for (const auto& option : inHelp)
            EXPECT_TRUE (inPage.count (option)) << option << " is in the --help of " << program << " but not in " << page;
        for (const auto& option : inPage)
            EXPECT_TRUE (inHelp.count (option)) << option << " is in " << page << " but not in the --help of " << program;
    }

} // namespace

TEST (Docs, ReadmeTablesAreCopiesOfTheFormulaPage)
{
    const auto pageLines = Lines (ManPage ("quillmere-formula.7"));
    const std::set<std::string> page (pageLines.begin(), pageLines.end());
    int tableLines = 0;
    for (const auto& line : Lines (Readme()))
    {
        if (line.rfind ("|", 0) != 0)
            continue;
        ++tableLines;
        EXPECT_TRUE (page.count (line)) << "README table line not in quillmere-formula.7.md:\n"
                                        << line;
    }
    EXPECT_GE (tableLines, 30); // the operator, function and error tables
}

TEST (Docs, EveryFunctionIsInTheReadmeAndTheFormulaPage)
{
    const auto names = EngineFunctionNames();
    ASSERT_EQ (names.size(), 52u);
    const auto readme = Readme();
    const auto functions = Section (ManPage ("quillmere-formula.7"), "FUNCTIONS");
    for (const auto& name : names)
    {
        EXPECT_TRUE (readme.find ("`" + name + "(") != std::string::npos || readme.find ("`" + name + "`") != std::string::npos)
            << name << " is missing from the README";
        EXPECT_NE (functions.find ("**" + name + "**"), std::string::npos) << name << " is missing from the formula page";
    }
}

TEST (Docs, TheFormulaPageDescribesOnlyRealFunctions)
{
    const auto names = EngineFunctionNames();
    const auto functions = Section (ManPage ("quillmere-formula.7"), "FUNCTIONS");
    const auto described = Matches (functions, std::regex (R"(\*\*([A-Za-z_][A-Za-z0-9_]*)\*\*)"));
    EXPECT_GE (described.size(), names.size());
    for (const auto& name : described)
        EXPECT_TRUE (names.count (name)) << name << " is described but is no function";
}

TEST (Docs, EveryErrorIsInTheReadmeAndTheFormulaPage)
{
    const auto readme = Readme();
    const auto errors = Section (ManPage ("quillmere-formula.7"), "ERRORS");
    for (const auto& text : EveryErrorText())
    {
        EXPECT_NE (readme.find ("| `" + text + "` |"), std::string::npos) << text << " is missing from the README";
        EXPECT_NE (errors.find ("| `" + text + "` |"), std::string::npos) << text << " is missing from the formula page";
    }
}

TEST (Docs, QuillmereBatchOptionsMatchItsManPage)
{
    ExpectSameOptions (QUILLMERE_BATCH_PATH, "quillmere-batch.1");
}

TEST (Docs, QcalcOptionsMatchItsManPage)
{
    ExpectSameOptions (QCALC_PATH, "qcalc.1");
}

TEST (Docs, ManPagesHaveTheUsualSections)
{
    for (const std::string page : { "quillmere-batch.1", "qcalc.1" })
        for (const std::string section : { "NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "EXAMPLES", "SEE ALSO" })
            EXPECT_FALSE (Section (ManPage (page), section).empty()) << page << " has no " << section;
}
