// Every program names itself and the version set once in CMake.
#include "ProgramOutput.h"

#include <QuillmereVersion.h>

#include <gtest/gtest.h>

#include <regex>

namespace
{

    void ExpectVersionLine (const std::string& program, const std::string& name)
    {
        const auto run = ProgramOutput::of ("'" + program + "' --version");
        EXPECT_EQ (run.exitStatus, 0) << program;
        EXPECT_EQ (run.output, name + " " QUILLMERE_VERSION "\n") << program;
    }

} // namespace

TEST (Version, IsTheProjectVersion)
{
    EXPECT_TRUE (std::regex_match (QUILLMERE_VERSION, std::regex ("[0-9]+\\.[0-9]+(\\.[0-9]+)*")));
    EXPECT_STREQ (QUILLMERE_VERSION, QUILLMERE_PROJECT_VERSION);
}

TEST (Version, QuillmereBatchPrintsNameAndVersion)
{
    ExpectVersionLine (QUILLMERE_BATCH_PATH, "quillmere-batch");
}

TEST (Version, QcalcPrintsNameAndVersion)
{
    ExpectVersionLine (QCALC_PATH, "qcalc");
}

// The window's getApplicationVersion() answers --version, before any window
// exists, so no display is needed.
TEST (Version, WindowPrintsNameAndVersion)
{
    ExpectVersionLine (QUILLMERE_APP_PATH, "Quillmere");
}

// Asked for its version, a tool does nothing else, whatever else it is told.
TEST (Version, WinsOverTheOtherOptions)
{
    const auto batch = ProgramOutput::of ("'" QUILLMERE_BATCH_PATH "' --recursive --version --replace a b /nonexistent");
    EXPECT_EQ (batch.exitStatus, 0);
    EXPECT_EQ (batch.output, "quillmere-batch " QUILLMERE_VERSION "\n");

    const auto qcalc = ProgramOutput::of ("'" QCALC_PATH "' x=1 --version");
    EXPECT_EQ (qcalc.exitStatus, 0);
    EXPECT_EQ (qcalc.output, "qcalc " QUILLMERE_VERSION "\n");
}
