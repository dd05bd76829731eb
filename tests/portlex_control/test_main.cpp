// Test main for programs that link the control's code: the program itself is the module
// whose resources the control loads.
#include <gtest/gtest.h>
#include <windows.h>
#include "com_test_env.h"
#include "module.h"

int main(int argc, char** argv) {
    fw::Module::Attach(GetModuleHandleA(nullptr));
    testing_support::ComApartment apartment;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
