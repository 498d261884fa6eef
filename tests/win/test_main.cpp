#include "tests/win/crash_exit.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    end_process_on_crash();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
