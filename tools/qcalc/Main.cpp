// qcalc: computes formulas of the Quillmere formula language.
//
//   qcalc [NAME=VALUE ...] FORMULA   compute one formula with these variables
//   qcalc [NAME=VALUE ...] [-]       compute formulas line by line from stdin

#include "Calculator.h"

#include <QuillmereVersion.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace
{

    constexpr int exitFormulaError = 1;
    constexpr int exitUsageError = 2;

    void PrintUsage (std::ostream& out)
    {
        out << "usage: qcalc [NAME=VALUE ...] FORMULA\n"
               "       qcalc [NAME=VALUE ...] [-]\n"
               "       qcalc --help | --version\n"
               "\n"
               "Computes FORMULA and prints its value (the value of its last statement)\n"
               "as %.17g. Without a formula, or with \"-\", reads one formula per line\n"
               "from standard input; variables keep their values from line to line and\n"
               "blank lines are skipped. NAME=VALUE sets the variable NAME to the number\n"
               "VALUE first; a lone argument is always the formula.\n"
               "\n"
               "  -h, --help     print this help\n"
               "  --version      print qcalc's name and version\n"
               "\n"
               "Example: qcalc x=2 'y = x^2 + sin(PI/2);'  prints 5\n"
               "\n"
               "On an error qcalc prints the formula, carets under the characters\n"
               "concerned and the error in words, and exits with status 1.\n";
    }

    bool ParseNumber (const std::string& text, double& value)
    {
        if (text.empty())
            return false;
        char* end = nullptr;
        value = std::strtod (text.c_str(), &end);
        return end == text.c_str() + text.size();
    }

    // Sets a NAME=VALUE argument; reports and returns false when it is not one.
    bool SetVariableArgument (Calculator& calculator, const std::string& argument)
    {
        const size_t equals = argument.find ('=');
        double value = 0.0;
        if (equals == std::string::npos || equals == 0 || ! ParseNumber (argument.substr (equals + 1), value))
        {
            std::cerr << "qcalc: expected NAME=VALUE with a number as VALUE, got \"" << argument << "\"\n";
            return false;
        }
        const std::string name = argument.substr (0, equals);
        if (! calculator.SetVariable (name, value))
        {
            std::cerr << "qcalc: \"" << name << "\" is a constant and cannot be set\n";
            return false;
        }
        return true;
    }

    bool IsBlank (const std::string& line)
    {
        return line.find_first_not_of (" \t\r\n\v\f") == std::string::npos;
    }

    int RunLines (Calculator& calculator, std::istream& in)
    {
        int status = EXIT_SUCCESS;
        std::string line;
        while (std::getline (in, line))
        {
            if (! line.empty() && line.back() == '\r')
                line.pop_back();
            if (IsBlank (line))
                continue;
            if (! calculator.Run (line, std::cout, std::cerr))
                status = exitFormulaError;
            std::cout.flush();
        }
        return status;
    }

} // namespace

int main (int argc, char* argv[])
{
    const std::vector<std::string> arguments (argv + 1, argv + argc);
    for (const std::string& argument : arguments)
    {
        if (argument == "--help" || argument == "-h")
        {
            PrintUsage (std::cout);
            return EXIT_SUCCESS;
        }
        if (argument == "--version")
        {
            std::cout << "qcalc " QUILLMERE_VERSION "\n";
            return EXIT_SUCCESS;
        }
    }

    // The last argument is the formula unless it is "-"; a single argument
    // is always the formula, even when it looks like NAME=VALUE.
    const bool readLines = arguments.empty() || arguments.back() == "-";
    const size_t variableCount = arguments.empty() ? 0 : arguments.size() - 1;

    Calculator calculator;
    for (size_t i = 0; i < variableCount; ++i)
        if (! SetVariableArgument (calculator, arguments[i]))
            return exitUsageError;

    if (readLines)
        return RunLines (calculator, std::cin);
    return calculator.Run (arguments.back(), std::cout, std::cerr) ? EXIT_SUCCESS : exitFormulaError;
}
