#include "TestEngine.h"

#include <expr/DataList.h>

#include <type_traits>
#include <vector>

namespace ExprTest
{
    namespace
    {

        // --- the error family ------------------------------------------------------

        template<class E>
        void ExpectCodeAndText (const E& error, int code, const std::string& text)
        {
            static_assert (std::is_base_of_v<Expr::Exception, E>);
            EXPECT_EQ (error.Code(), code);
            EXPECT_EQ (error.Text(), text);
            EXPECT_EQ (error.Start(), -1);
            EXPECT_EQ (error.End(), -1);
            EXPECT_STREQ (error.what(), "Unknown exception");
        }

        TEST (Exceptions, EachClassHasItsCodeTextAndNoPositions)
        {
            ExpectCodeAndText (Expr::NotFoundException ("a"), NotFound, "a");
            ExpectCodeAndText (Expr::AlreadyExistsException ("b"), AlreadyExists, "b");
            ExpectCodeAndText (Expr::NullPointerException ("Op"), NullPointer, "Op");
            ExpectCodeAndText (Expr::MathException ("^"), Math, "^");
            ExpectCodeAndText (Expr::DivideByZeroException(), DivideByZero, "");
            ExpectCodeAndText (Expr::NoValueListException(), NoValueList, "");
            ExpectCodeAndText (Expr::NoFunctionListException(), NoFunctionList, "");
            ExpectCodeAndText (Expr::NoDataListException(), NoDataList, "");
            ExpectCodeAndText (Expr::AbortException(), Abort, "");
            ExpectCodeAndText (Expr::EmptyExpressionException(), EmptyExpression, "");
            ExpectCodeAndText (Expr::UnknownTokenException(), UnknownToken, "");
            ExpectCodeAndText (Expr::InvalidArgumentCountException ("min"), InvalidArgumentCount, "min");
            ExpectCodeAndText (Expr::ConstantAssignException ("E"), ConstantAssign, "E");
            ExpectCodeAndText (Expr::ConstantReferenceException ("PI"), ConstantReference, "PI");
            ExpectCodeAndText (Expr::SyntaxException(), Syntax, "");
            ExpectCodeAndText (Expr::UnmatchedParenthesisException(), UnmatchedParenthesis, "");
        }

        TEST (Exceptions, TheErrorTableNamesEachClassByItsCode)
        {
            const std::vector<std::pair<Expr::Exception, std::string>> classes = {
                { Expr::NotFoundException ("a"), "NotFoundException" },
                { Expr::AlreadyExistsException ("a"), "AlreadyExistsException" },
                { Expr::NullPointerException ("a"), "NullPointerException" },
                { Expr::MathException ("a"), "MathException" },
                { Expr::DivideByZeroException(), "DivideByZeroException" },
                { Expr::NoValueListException(), "NoValueListException" },
                { Expr::NoFunctionListException(), "NoFunctionListException" },
                { Expr::NoDataListException(), "NoDataListException" },
                { Expr::AbortException(), "AbortException" },
                { Expr::EmptyExpressionException(), "EmptyExpressionException" },
                { Expr::UnknownTokenException(), "UnknownTokenException" },
                { Expr::InvalidArgumentCountException ("a"), "InvalidArgumentCountException" },
                { Expr::ConstantAssignException ("a"), "ConstantAssignException" },
                { Expr::ConstantReferenceException ("a"), "ConstantReferenceException" },
                { Expr::SyntaxException(), "SyntaxException" },
                { Expr::UnmatchedParenthesisException(), "UnmatchedParenthesisException" }
            };
            for (const auto& [error, className] : classes)
            {
                const Expr::ErrorClassEntry* entry = Expr::FindErrorClass (error.Code());
                ASSERT_NE (entry, nullptr) << className;
                EXPECT_EQ (entry->className, className);
                EXPECT_EQ (entry->takesText, ! error.Text().empty()) << className;
            }
            EXPECT_EQ (Expr::FindErrorClass (1), nullptr);
            EXPECT_EQ (Expr::FindErrorClass (18), nullptr);
        }

        TEST (Exceptions, ACopyKeepsAllFourFields)
        {
            Expr::MathException original ("sqrt");
            original.SetRange (3, 7);
            const Expr::MathException copy = original;
            EXPECT_EQ (copy.Code(), Math);
            EXPECT_EQ (copy.Text(), "sqrt");
            EXPECT_EQ (copy.Start(), 3);
            EXPECT_EQ (copy.End(), 7);
        }

        TEST (Exceptions, AreCaughtAsOneFamilyAndAsStandardExceptions)
        {
            EXPECT_THROW (throw Expr::SyntaxException(), Expr::Exception);
            EXPECT_THROW (throw Expr::DivideByZeroException(), std::exception);
        }

        TEST (Describe, NamesEachErrorInWords)
        {
            EXPECT_EQ (Expr::Describe (Expr::MathException ("sqrt")), "math error in \"sqrt\"");
            EXPECT_EQ (Expr::Describe (Expr::NotFoundException ("foo")), "unknown function \"foo\"");
            EXPECT_EQ (Expr::Describe (Expr::InvalidArgumentCountException ("min")), "wrong number of arguments for \"min\"");
            EXPECT_EQ (Expr::Describe (Expr::SyntaxException()), "syntax error");
            EXPECT_EQ (Expr::Describe (Expr::DivideByZeroException()), "division by zero");
            EXPECT_EQ (Expr::Describe (Expr::ConstantAssignException ("E")), "assignment to constant \"E\"");
            EXPECT_EQ (Expr::Describe (Expr::UnmatchedParenthesisException()), "unmatched parenthesis");
            EXPECT_EQ (Expr::Describe (Expr::EmptyExpressionException()), "empty expression");
            EXPECT_EQ (Expr::Describe (Expr::UnknownTokenException()), "unknown character");
        }

        TEST (Describe, GivesDistinctWordsForEveryClass)
        {
            const std::vector<std::string> words = {
                Expr::Describe (Expr::NotFoundException ("n")), Expr::Describe (Expr::AlreadyExistsException ("n")),
                Expr::Describe (Expr::NullPointerException ("n")), Expr::Describe (Expr::MathException ("n")),
                Expr::Describe (Expr::DivideByZeroException()), Expr::Describe (Expr::NoValueListException()),
                Expr::Describe (Expr::NoFunctionListException()), Expr::Describe (Expr::NoDataListException()),
                Expr::Describe (Expr::AbortException()), Expr::Describe (Expr::EmptyExpressionException()),
                Expr::Describe (Expr::UnknownTokenException()), Expr::Describe (Expr::InvalidArgumentCountException ("n")),
                Expr::Describe (Expr::ConstantAssignException ("n")), Expr::Describe (Expr::ConstantReferenceException ("n")),
                Expr::Describe (Expr::SyntaxException()), Expr::Describe (Expr::UnmatchedParenthesisException())
            };
            for (size_t i = 0; i < words.size(); ++i)
                for (size_t j = i + 1; j < words.size(); ++j)
                    EXPECT_NE (words[i], words[j]);
        }

        // --- value list --------------------------------------------------------------

        TEST (ValueList, BuiltInConstantsAreEThenPi)
        {
            Expr::ValueList values;
            values.AddBuiltInConstants();
            ASSERT_EQ (values.Count(), 2);
            EXPECT_EQ (values.EntryAt (0).name, "E");
            EXPECT_EQ (values.EntryAt (0).value, 2.718281828459045);
            EXPECT_TRUE (values.EntryAt (0).constant);
            EXPECT_EQ (values.EntryAt (1).name, "PI");
            EXPECT_EQ (values.EntryAt (1).value, 3.141592653589793);
            EXPECT_TRUE (values.IsConstant ("PI"));
        }

        TEST (ValueList, NamesAreCaseSensitive)
        {
            Expr::ValueList values;
            values.AddBuiltInConstants();
            values.Add ("pi", 3.0, false);
            EXPECT_FALSE (values.IsConstant ("pi"));
            EXPECT_NE (values.AddressOf ("pi"), values.AddressOf ("PI"));
        }

        TEST (ValueList, RefusesADuplicateAndStaysUnchanged)
        {
            Expr::ValueList values;
            values.Add ("x", 1.0, false);
            try
            {
                values.Add ("x", 2.0, true);
                FAIL() << "no exception";
            }
            catch (const Expr::AlreadyExistsException& error)
            {
                EXPECT_EQ (error.Text(), "x");
            }
            EXPECT_EQ (values.Count(), 1);
            EXPECT_EQ (*values.AddressOf ("x"), 1.0);
            EXPECT_FALSE (values.IsConstant ("x"));
        }

        TEST (ValueList, CellsNeverMoveWhileTheListGrows)
        {
            Expr::ValueList values;
            values.Add ("first", 1.0, false);
            double* cell = values.AddressOf ("first");
            for (int i = 0; i < 1000; ++i)
                values.Add ("v" + std::to_string (i), i, false);
            EXPECT_EQ (values.AddressOf ("first"), cell);
            EXPECT_EQ (*cell, 1.0);
        }

        TEST (ValueList, UnknownNamesAreNeitherFoundNorConstant)
        {
            Expr::ValueList values;
            EXPECT_EQ (values.AddressOf ("nothing"), nullptr);
            EXPECT_FALSE (values.IsConstant ("nothing"));
        }

        TEST (ValueList, TheEmptyNameIsValid)
        {
            Expr::ValueList values;
            values.Add ("", 4.0, false);
            ASSERT_NE (values.AddressOf (""), nullptr);
            EXPECT_EQ (*values.AddressOf (""), 4.0);
        }

        // --- data list ---------------------------------------------------------------

        class Payload : public Expr::DataObject
        {
        public:
            explicit Payload (int& destroyedCounter)
                : destroyed (destroyedCounter) {}
            ~Payload() override { ++destroyed; }

        private:
            int& destroyed;
        };

        TEST (DataList, AddsNullSlotsAndRefusesDuplicates)
        {
            Expr::DataList data;
            data.Add ("d");
            Expr::DataObject** slot = data.SlotOf ("d");
            ASSERT_NE (slot, nullptr);
            EXPECT_EQ (*slot, nullptr);
            EXPECT_EQ (data.SlotOf ("D"), nullptr);
            EXPECT_THROW (data.Add ("d"), Expr::AlreadyExistsException);
            EXPECT_EQ (data.Count(), 1);
        }

        TEST (DataList, DestroysItsObjects)
        {
            int destroyed = 0;
            {
                Expr::DataList data;
                data.Add ("d");
                data.EntryAt (0).SetObject (std::make_unique<Payload> (destroyed));
                data.EntryAt (0).SetObject (std::make_unique<Payload> (destroyed));
                EXPECT_EQ (destroyed, 1);
            }
            EXPECT_EQ (destroyed, 2);
        }

        /** count(...): the number of data arguments, and whether all slots are set. */
        class DataCountNode : public Expr::FunctionNode
        {
        public:
            using FunctionNode::FunctionNode;

        protected:
            double Calculate() override
            {
                double filled = 0.0;
                for (Expr::DataObject** slot : dataArgs)
                    filled += *slot != nullptr ? 1.0 : 0.0;
                return static_cast<double> (dataArgs.size()) * 10.0 + filled;
            }
        };

        class DataCountFactory : public Expr::FunctionFactory
        {
        public:
            std::string FunctionName() override { return "count"; }
            std::unique_ptr<Expr::FunctionNode> CreateNode (Expr::Expression* e) override
            {
                auto node = std::make_unique<DataCountNode> (e);
                node->SetArgLimits (0, 0, 0, 0, 1, 2);
                return node;
            }
        };

        TEST (DataList, DataArgumentsCreateEntriesAndReadTheirCurrentObject)
        {
            int destroyed = 0;
            Expr::DataList data;
            Expr::FunctionList functions;
            functions.Add (std::make_unique<DataCountFactory>());
            Expr::Expression expression;
            expression.SetFunctionList (&functions);
            expression.SetDataList (&data);

            expression.Parse ("count(@a, @b)");
            EXPECT_EQ (data.Count(), 2);
            EXPECT_EQ (expression.Compute(), 20.0);
            data.EntryAt (1).SetObject (std::make_unique<Payload> (destroyed));
            EXPECT_EQ (expression.Compute(), 21.0);

            try
            {
                expression.Parse ("count(@a, @b, @c)");
                FAIL() << "no exception";
            }
            catch (const Expr::InvalidArgumentCountException& error)
            {
                EXPECT_EQ (error.Text(), "count");
                EXPECT_EQ (error.Start(), 5);
                EXPECT_EQ (error.End(), 16);
            }
            EXPECT_EQ (data.Count(), 3); // entries made by the failed parse stay
        }

        // --- function list -----------------------------------------------------------

        class NamedFactory : public Expr::FunctionFactory
        {
        public:
            explicit NamedFactory (std::string functionName, double functionValue = 0.0)
                : name (std::move (functionName)), value (functionValue) {}
            std::string FunctionName() override { return name; }
            std::unique_ptr<Expr::FunctionNode> CreateNode (Expr::Expression* e) override;

        private:
            std::string name;
            double value;
        };

        class ConstantNode : public Expr::FunctionNode
        {
        public:
            ConstantNode (Expr::Expression* e, double constantValue)
                : FunctionNode (e), value (constantValue) {}

        protected:
            double Calculate() override { return value; }

        private:
            double value;
        };

        std::unique_ptr<Expr::FunctionNode> NamedFactory::CreateNode (Expr::Expression* e)
        {
            return std::make_unique<ConstantNode> (e, value);
        }

        /** Makes no node at all. */
        class BarrenFactory : public Expr::FunctionFactory
        {
        public:
            std::string FunctionName() override { return "barren"; }
            std::unique_ptr<Expr::FunctionNode> CreateNode (Expr::Expression*) override { return nullptr; }
        };

        TEST (FunctionList, RefusesADuplicateNameAndLeavesTheFactoryWithTheCaller)
        {
            Expr::FunctionList functions;
            functions.Add (std::make_unique<NamedFactory> ("f"));
            auto second = std::make_unique<NamedFactory> ("f");
            try
            {
                functions.Add (std::move (second));
                FAIL() << "no exception";
            }
            catch (const Expr::AlreadyExistsException& error)
            {
                EXPECT_EQ (error.Text(), "f");
            }
            EXPECT_EQ (functions.Count(), 1);
            EXPECT_NE (second, nullptr);
        }

        TEST (FunctionList, RefusesNullArguments)
        {
            Expr::FunctionList functions;
            try
            {
                functions.Add (nullptr);
                FAIL() << "no exception";
            }
            catch (const Expr::NullPointerException& error)
            {
                EXPECT_EQ (error.Text(), "FunctionList::Add");
            }
            functions.Add (std::make_unique<NamedFactory> ("f"));
            try
            {
                functions.Create ("f", nullptr);
                FAIL() << "no exception";
            }
            catch (const Expr::NullPointerException& error)
            {
                EXPECT_EQ (error.Text(), "FunctionList::Create");
            }
        }

        TEST (FunctionList, NodesRefuseANullExpression)
        {
            NamedFactory factory ("f");
            try
            {
                factory.CreateNode (nullptr);
                FAIL() << "no exception";
            }
            catch (const Expr::NullPointerException& error)
            {
                EXPECT_EQ (error.Text(), "Node::Node");
            }
        }

        TEST (FunctionList, CreateMatchesNamesExactly)
        {
            Expr::FunctionList functions;
            functions.AddBuiltInFunctions();
            Expr::Expression expression;
            EXPECT_EQ (functions.Create ("Sin", &expression), nullptr);
            EXPECT_EQ (functions.Create ("si", &expression), nullptr);
            EXPECT_EQ (functions.Create ("sin ", &expression), nullptr);
        }

        TEST (FunctionList, CreateMakesANewNodeOnEveryCall)
        {
            Expr::FunctionList functions;
            functions.AddBuiltInFunctions();
            Expr::Expression expression;
            auto one = functions.Create ("sin", &expression);
            auto two = functions.Create ("sin", &expression);
            ASSERT_NE (one, nullptr);
            ASSERT_NE (two, nullptr);
            EXPECT_NE (one.get(), two.get());
            EXPECT_EQ (one->Name(), "sin");
        }

        TEST (FunctionList, BuiltInsComeInTheirFixedOrder)
        {
            const std::vector<std::string> expected = {
                "abs", "mod", "ipart", "fpart", "min", "max", "sqrt", "sin", "cos", "tan", "sinh", "cosh", "tanh",
                "asin", "acos", "atan", "atan2", "log", "ln", "exp", "logn", "ceil", "floor", "rand", "random",
                "randomize", "deg", "rad", "rect2pol", "pol2rect", "if", "select", "equal", "above", "below", "clip",
                "clamp", "rescale", "poly", "and", "or", "not"
            };
            Expr::FunctionList functions;
            functions.AddBuiltInFunctions();
            ASSERT_EQ (functions.Count(), 42);
            for (int i = 0; i < 42; ++i)
                EXPECT_EQ (functions.FactoryAt (i).FunctionName(), expected[static_cast<size_t> (i)]);

            EXPECT_THROW (functions.Add (std::make_unique<NamedFactory> ("sin")), Expr::AlreadyExistsException);
            EXPECT_EQ (functions.Count(), 42);

            functions.AddBuiltInFunctions(); // no duplicate test here
            EXPECT_EQ (functions.Count(), 84);
        }

        TEST (FunctionList, TheFirstFactoryOfANameWins)
        {
            Expr::ValueList values;
            Expr::FunctionList functions;
            functions.Add (std::make_unique<NamedFactory> ("abs", 99.0));
            functions.AddBuiltInFunctions();
            Expr::Expression expression;
            expression.SetValueList (&values);
            expression.SetFunctionList (&functions);
            expression.Parse ("abs()");
            EXPECT_EQ (expression.Compute(), 99.0);
        }

        TEST (FunctionList, AFactoryThatMakesNoNodeMeansAnUnknownFunction)
        {
            Expr::FunctionList functions;
            functions.Add (std::make_unique<BarrenFactory>());
            Expr::Expression expression;
            expression.SetFunctionList (&functions);
            try
            {
                expression.Parse ("1 + barren()");
                FAIL() << "no exception";
            }
            catch (const Expr::NotFoundException& error)
            {
                EXPECT_EQ (error.Text(), "barren");
                EXPECT_EQ (error.Start(), 4);
                EXPECT_EQ (error.End(), 9);
            }
        }

    } // namespace
} // namespace ExprTest
