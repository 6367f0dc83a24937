// Test entry point: every test starts from the start-of-process state of all globals.
#include "model/Globals.h"

#include <gtest/gtest.h>

namespace {

class CResetGlobalsListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { ResetGlobals(); }
};

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new CResetGlobalsListener);
    return RUN_ALL_TESTS();
}
