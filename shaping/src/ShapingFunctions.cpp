#include "shaping/ShapingFunctions.h"

#include "shaping/FunctionCheby.h"
#include "shaping/FunctionGauss.h"
#include "shaping/FunctionPow.h"
#include "shaping/FunctionPowBipolar.h"
#include "shaping/FunctionQuant.h"
#include "shaping/FunctionQuantToBits.h"
#include "shaping/FunctionSaw.h"
#include "shaping/FunctionSign.h"
#include "shaping/FunctionSoftClip.h"
#include "shaping/FunctionStep.h"

#include <expr/FunctionList.h>

#include <memory>

void AddShapingFunctions(Expr::FunctionList& functions)
{
    functions.Add(std::make_unique<FunctionFactoryCheby>());
    functions.Add(std::make_unique<FunctionFactoryGauss>());
    functions.Add(std::make_unique<FunctionFactoryQuant>());
    functions.Add(std::make_unique<FunctionFactoryQuantToBits>());
    functions.Add(std::make_unique<FunctionFactoryPow>());
    functions.Add(std::make_unique<FunctionFactoryPowBipolar>());
    functions.Add(std::make_unique<FunctionFactorySaw>());
    functions.Add(std::make_unique<FunctionFactorySign>());
    functions.Add(std::make_unique<FunctionFactorySoftClip>());
    functions.Add(std::make_unique<FunctionFactoryStep>());
}
