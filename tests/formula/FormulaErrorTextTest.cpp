#include "FormulaEngine.h"
#include "FormulaErrorText.h"

#include <expr/Exception.h>

#include <gtest/gtest.h>

#include <string>

namespace
{
    bool endsWith (const std::string& text, const std::string& ending)
    {
        return text.size() >= ending.size() && text.compare (text.size() - ending.size(), ending.size(), ending) == 0;
    }

    TEST (FormulaErrorText, NamesTheErrorAndItsCharactersCountedFromOne)
    {
        Expr::SyntaxException error;
        error.SetRange (4, 6);
        EXPECT_EQ (describeFormulaError (error), "Syntax error at characters 5 to 7");
    }

    TEST (FormulaErrorText, ASingleCharacterIsNamedAlone)
    {
        Expr::SyntaxException error;
        error.SetRange (0, 0);
        EXPECT_EQ (describeFormulaError (error), "Syntax error at character 1");
    }

    TEST (FormulaErrorText, AnErrorWithoutPositionNamesNone)
    {
        EXPECT_EQ (describeFormulaError (Expr::MathException ("sqrt")), "Math error in \"sqrt\"");
    }

    // The words come from the engine; the position is what this text adds.
    TEST (FormulaErrorText, PointsAtTheFaultOfARejectedFormula)
    {
        struct Case
        {
            const char* formula;
            const char* ending;
        };
        for (const Case& c : { Case { "y = 2 $ 3", " at character 7" },
                               Case { "y = x + sign(1, 2)", " at characters 13 to 18" },
                               Case { "y = x;; z = 1", " at character 7" },
                               Case { "y = bogus(x)", " at characters 5 to 9" } })
        {
            FormulaEngine engine;
            ASSERT_FALSE (engine.setFormula (c.formula)) << c.formula;
            const std::string line = describeFormulaError (*engine.lastError());
            EXPECT_TRUE (endsWith (line, c.ending)) << c.formula << " -> " << line;
            EXPECT_TRUE (std::isupper (static_cast<unsigned char> (line[0]))) << line;
        }
    }

    TEST (FormulaErrorText, NamesTheFunctionWhoseArgumentsAreWrong)
    {
        FormulaEngine engine;
        ASSERT_FALSE (engine.setFormula ("softClip()"));
        const std::string line = describeFormulaError (*engine.lastError());
        EXPECT_NE (line.find ("\"softClip\""), std::string::npos) << line;
        EXPECT_TRUE (endsWith (line, " at characters 9 to 10")) << line;
    }
}
