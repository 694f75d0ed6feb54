// Times Compute() of a few typical formulas, with x changing between calls,
// against muParser computing the same formulas, and prints the ratios; then
// times Parse() of one very large generated formula.

#include <expr/Expression.h>
#include <expr/FunctionList.h>
#include <expr/ValueList.h>

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <array>
#include <initializer_list>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace
{

    struct Formula
    {
        const char* label;
        const char* quillmere;
        const char* muParser;
    };

    const Formula formulas[] = {
        { "assign", "y = x;", "y = x" },
        { "scale", "x * 2", "x * 2" },
        { "trig", "sin(x) * 2 + x^2 - 3", "sin(x) * 2 + x^2 - 3" },
        { "rescale", "(x - 20) / (20000 - 20) * 100 + sqrt(abs(x)) * 0.5",
          "(x - 20) / (20000 - 20) * 100 + sqrt(abs(x)) * 0.5" },
        { "branch", "if(below(x, 0), -x, x * 1.5)", "x < 0 ? -x : x * 1.5" },
    };

    // The inputs cycled through, the same for both engines: values of a typical
    // attribute range with some negatives so that both branches are taken.
    constexpr size_t inputCount = 1024;

    const std::array<double, inputCount>& Inputs()
    {
        static const std::array<double, inputCount> inputs = [] {
            std::array<double, inputCount> values {};
            std::mt19937 generator (12345);
            std::uniform_real_distribution<double> distribution (-2000.0, 20000.0);
            for (double& value : values)
                value = distribution (generator);
            return values;
        }();
        return inputs;
    }

    void ComputeQuillmere (benchmark::State& state, const Formula& formula)
    {
        Expr::ValueList values;
        values.AddBuiltInConstants();
        values.Add ("x", 0.0, false);
        Expr::FunctionList functions;
        functions.AddBuiltInFunctions();
        Expr::Expression expression;
        expression.SetValueList (&values);
        expression.SetFunctionList (&functions);
        expression.Parse (formula.quillmere);

        double* x = values.AddressOf ("x");
        const auto& inputs = Inputs();
        size_t i = 0;
        for (auto _ : state)
        {
            *x = inputs[i++ % inputCount];
            benchmark::DoNotOptimize (expression.Compute());
        }
    }

    void ComputeMuParser (benchmark::State& state, const Formula& formula)
    {
        double x = 0.0;
        double y = 0.0;
        mu::Parser parser;
        parser.DefineVar ("x", &x);
        parser.DefineVar ("y", &y);
        parser.SetExpr (formula.muParser);
        parser.Eval(); // compiles the formula to byte code

        const auto& inputs = Inputs();
        size_t i = 0;
        for (auto _ : state)
        {
            x = inputs[i++ % inputCount];
            benchmark::DoNotOptimize (parser.Eval());
        }
    }

    // A generated table of one million "if" terms, about 21 MB of text.
    constexpr int largeFormulaTerms = 1000000;

    const std::string& LargeFormula()
    {
        static const std::string text = [] {
            std::string formula;
            formula.reserve (static_cast<size_t> (largeFormulaTerms) * 22);
            for (int i = 0; i < largeFormulaTerms; ++i)
                formula += "if(below(x," + std::to_string (i % 10) + "),1.5,x)+";
            formula += "0";
            return formula;
        }();
        return text;
    }

    const char* const largeFormulaName = "Quillmere/parse large formula";

    void ParseLargeFormula (benchmark::State& state)
    {
        Expr::ValueList values;
        values.Add ("x", 0.0, false);
        Expr::FunctionList functions;
        functions.AddBuiltInFunctions();
        const std::string& text = LargeFormula();
        for (auto _ : state)
        {
            auto expression = std::make_unique<Expr::Expression>();
            expression->SetValueList (&values);
            expression->SetFunctionList (&functions);
            expression->Parse (text);
            benchmark::DoNotOptimize (expression->HasTree());
            state.PauseTiming(); // the tree is destroyed outside the measurement
            expression.reset();
            state.ResumeTiming();
        }
        state.counters["MB"] = static_cast<double> (text.size()) / 1e6;
        state.counters["terms"] = largeFormulaTerms;
    }

    /** Prints the usual table and keeps the time of every benchmark for the
    summary: the median when repetitions were asked for, else the one run. */
    class RecordingReporter : public benchmark::ConsoleReporter
    {
    public:
        void ReportRuns (const std::vector<Run>& runs) override
        {
            for (const Run& run : runs)
            {
                const std::string name = run.run_name.function_name;
                if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                    medians[name] = Nanoseconds (run);
                else if (run.run_type == Run::RT_Iteration)
                    singles[name] = Nanoseconds (run);
            }
            ConsoleReporter::ReportRuns (runs);
        }

        bool Find (const std::string& name, double& nanoseconds) const
        {
            for (const auto* times : { &medians, &singles })
            {
                const auto found = times->find (name);
                if (found != times->end())
                {
                    nanoseconds = found->second;
                    return true;
                }
            }
            return false;
        }

    private:
        static double Nanoseconds (const Run& run)
        {
            return run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier (run.time_unit) * 1e9;
        }

        std::map<std::string, double> medians;
        std::map<std::string, double> singles;
    };

    std::string QuillmereName (const Formula& formula)
    {
        return std::string ("Quillmere/") + formula.label;
    }

    std::string MuParserName (const Formula& formula)
    {
        return std::string ("muParser/") + formula.label;
    }

    void PrintSummary (const RecordingReporter& reporter)
    {
        std::printf ("\n%-60s %12s %12s %8s\n", "formula", "Quillmere ns", "muParser ns", "ratio");
        double logSum = 0.0;
        int count = 0;
        for (const Formula& formula : formulas)
        {
            double ours = 0.0;
            double theirs = 0.0;
            if (! reporter.Find (QuillmereName (formula), ours) || ! reporter.Find (MuParserName (formula), theirs))
                continue;
            const double ratio = ours / theirs;
            std::printf ("%-60s %12.2f %12.2f %8.2f\n", formula.quillmere, ours, theirs, ratio);
            logSum += std::log (ratio);
            ++count;
        }
        if (count > 0)
            std::printf ("geometric mean of the ratios (Quillmere / muParser): %.2f\n", std::exp (logSum / count));

        double parseNanoseconds = 0.0;
        if (reporter.Find (largeFormulaName, parseNanoseconds))
            std::printf ("\nParse() of a %.1f MB formula of %d terms: %.3f s\n",
                         static_cast<double> (LargeFormula().size()) / 1e6, largeFormulaTerms, parseNanoseconds / 1e9);
    }

} // namespace

int main (int argc, char** argv)
{
    for (const Formula& formula : formulas)
    {
        benchmark::RegisterBenchmark (QuillmereName (formula).c_str(), ComputeQuillmere, formula);
        benchmark::RegisterBenchmark (MuParserName (formula).c_str(), ComputeMuParser, formula);
    }
    benchmark::RegisterBenchmark (largeFormulaName, ParseLargeFormula)
        ->Iterations (1)
        ->Repetitions (3)
        ->Unit (benchmark::kMillisecond);

    // By default the two engines' repetitions are interleaved at random and
    // the medians compared, so that a machine whose load changes during the
    // run does not favour either; flags given on the command line come later
    // and win.
    std::vector<char*> arguments (argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string repetitions = "--benchmark_repetitions=5";
    std::string aggregatesOnly = "--benchmark_report_aggregates_only=true";
    arguments.insert (arguments.begin() + 1, { interleave.data(), repetitions.data(), aggregatesOnly.data() });
    int argumentCount = static_cast<int> (arguments.size());

    benchmark::Initialize (&argumentCount, arguments.data());
    if (benchmark::ReportUnrecognizedArguments (argumentCount, arguments.data()))
        return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);
    PrintSummary (reporter);
    benchmark::Shutdown();
    return 0;
}
