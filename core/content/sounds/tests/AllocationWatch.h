#pragma once
// Watches the sizes of the program's allocations (the test program's operator new is this file's)
// so that readers of damaged data can be held to what the data itself holds.
#include <cstddef>

namespace allocationwatch {

// Starts watching; forgets the largest allocation seen so far.
void Begin();
// Stops watching and answers the largest single allocation since Begin.
size_t End();

}  // namespace allocationwatch
