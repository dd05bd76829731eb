// Counts the program's allocations through operator new, so a test can show that a
// piece of code allocates nothing.
#pragma once

long AllocationCount();
