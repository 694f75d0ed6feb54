#pragma once

#include <expr/Describe.h>
#include <expr/Exception.h>
#include <expr/Expression.h>
#include <expr/FunctionFactory.h>
#include <expr/FunctionList.h>
#include <expr/FunctionNode.h>
#include <expr/ValueList.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <ostream>
#include <string>

namespace ExprTest
{

    // The codes of the error classes, to name expected errors in tables.
    using namespace Expr::Codes;

    /** leak(x): returns x but leaves errno set, as a library call inside a
    function without the error-indicator protocol would. */
    class LeakNode : public Expr::FunctionNode
    {
    public:
        using FunctionNode::FunctionNode;

    protected:
        double Calculate() override
        {
            const double x = valueArgs[0]->Compute();
            errno = EDOM;
            return x;
        }
    };

    class LeakFactory : public Expr::FunctionFactory
    {
    public:
        std::string FunctionName() override { return "leak"; }
        std::unique_ptr<Expr::FunctionNode> CreateNode (Expr::Expression* e) override
        {
            auto node = std::make_unique<LeakNode> (e);
            node->SetArgLimits (1, 1, 0, 0, 0, 0);
            return node;
        }
    };

    /** The lists set up as an application would (constants, built-ins), plus the
    test constants "nan" and "inf" and the function "leak". */
    struct TestEngine
    {
        TestEngine()
        {
            values.AddBuiltInConstants();
            values.Add ("nan", std::numeric_limits<double>::quiet_NaN(), true);
            values.Add ("inf", std::numeric_limits<double>::infinity(), true);
            functions.AddBuiltInFunctions();
            functions.Add (std::make_unique<LeakFactory>());
            expression.SetValueList (&values);
            expression.SetFunctionList (&functions);
        }

        double Evaluate (const std::string& formula)
        {
            expression.Parse (formula);
            return expression.Compute();
        }

        double& Variable (const std::string& name)
        {
            double* cell = values.AddressOf (name);
            if (cell == nullptr)
            {
                values.Add (name, 0.0, false);
                cell = values.AddressOf (name);
            }
            return *cell;
        }

        Expr::ValueList values;
        Expr::FunctionList functions;
        Expr::Expression expression;
    };

    inline std::uint64_t BitsOf (double value)
    {
        std::uint64_t bits = 0;
        std::memcpy (&bits, &value, sizeof bits);
        return bits;
    }

    /** What a formula of a table row must give. */
    struct Outcome
    {
        enum Kind
        {
            Exactly,
            NotANumber,
            Bits,
            About,
            Fails
        } kind = Exactly;
        double value = 0.0;
        std::uint64_t bits = 0;
        double tolerance = 0.0;
        int code = 0;
        std::string text;
        int start = -1;
        int end = -1;
    };

    inline Outcome Is (double value)
    {
        Outcome o;
        o.value = value;
        return o;
    }

    inline Outcome IsNaN()
    {
        Outcome o;
        o.kind = Outcome::NotANumber;
        return o;
    }

    inline Outcome HasBits (std::uint64_t bits)
    {
        Outcome o;
        o.kind = Outcome::Bits;
        o.bits = bits;
        return o;
    }

    inline Outcome About (double value, double tolerance = 1e-12)
    {
        Outcome o;
        o.kind = Outcome::About;
        o.value = value;
        o.tolerance = tolerance;
        return o;
    }

    inline Outcome Fails (int code, const std::string& text = {}, int start = -1, int end = -1)
    {
        Outcome o;
        o.kind = Outcome::Fails;
        o.code = code;
        o.text = text;
        o.start = start;
        o.end = end;
        return o;
    }

    inline Outcome Fails (int code, int start, int end)
    {
        return Fails (code, std::string(), start, end);
    }

    struct Row
    {
        std::string formula;
        Outcome expected;
    };

    inline void PrintTo (const Row& row, std::ostream* out)
    {
        *out << "\"" << row.formula << "\"";
    }

    /** Parses and computes the row's formula in a fresh engine and checks the
    outcome. */
    inline void ExpectRow (const Row& row)
    {
        SCOPED_TRACE ("formula: " + row.formula);
        TestEngine engine;
        const Outcome& expected = row.expected;
        try
        {
            const double value = engine.Evaluate (row.formula);
            switch (expected.kind)
            {
                case Outcome::Exactly: EXPECT_EQ (value, expected.value); break;
                case Outcome::NotANumber: EXPECT_TRUE (std::isnan (value)) << value; break;
                case Outcome::Bits: EXPECT_EQ (BitsOf (value), expected.bits) << value; break;
                case Outcome::About: EXPECT_NEAR (value, expected.value, expected.tolerance); break;
                case Outcome::Fails:
                    ADD_FAILURE() << "expected error code " << expected.code << ", got the value " << value;
                    break;
            }
        }
        catch (const Expr::Exception& error)
        {
            if (expected.kind != Outcome::Fails)
            {
                ADD_FAILURE() << "unexpected " << Expr::Describe (error) << " at " << error.Start() << ".." << error.End();
                return;
            }
            EXPECT_EQ (error.Code(), expected.code) << Expr::Describe (error);
            EXPECT_EQ (error.Text(), expected.text);
            EXPECT_EQ (error.Start(), expected.start);
            EXPECT_EQ (error.End(), expected.end);
        }
    }

} // namespace ExprTest
