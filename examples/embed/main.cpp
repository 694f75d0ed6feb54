// Embeds the Quillmere formula engine: registers a function of its own,
// twice(x), and computes a formula given on the command line.
#include <quillmere/expr/Describe.h>
#include <quillmere/expr/Expression.h>
#include <quillmere/expr/FunctionList.h>
#include <quillmere/expr/FunctionNode.h>
#include <quillmere/expr/ValueList.h>

#include <iostream>

class TwiceNode : public Expr::FunctionNode
{
public:
    using FunctionNode::FunctionNode;

protected:
    double Calculate() override { return 2.0 * valueArgs[0]->Compute(); }
};

class TwiceFactory : public Expr::FunctionFactory
{
public:
    std::string FunctionName() override { return "twice"; }

    std::unique_ptr<Expr::FunctionNode> CreateNode(Expr::Expression* expression) override
    {
        auto node = std::make_unique<TwiceNode>(expression);
        node->SetArgLimits(1, 1, 0, 0, 0, 0); // exactly one value argument
        return node;
    }
};

int main(int argc, char* argv[])
{
    Expr::ValueList values; // the lists must outlive the expression parsed against them
    Expr::FunctionList functions;
    values.AddBuiltInConstants();
    functions.AddBuiltInFunctions();
    functions.Add(std::make_unique<TwiceFactory>());

    Expr::Expression expression;
    expression.SetValueList(&values);
    expression.SetFunctionList(&functions);
    try
    {
        expression.Parse(argc > 1 ? argv[1] : "x = 3; twice(x) + sqrt(16)");
        std::cout << expression.Compute() << "\n";
        return 0;
    }
    catch (const Expr::Exception& error)
    {
        std::cerr << "embed: " << Expr::Describe(error) << "\n";
        return 1;
    }
}
