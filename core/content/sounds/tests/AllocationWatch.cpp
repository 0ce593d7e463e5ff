#include "AllocationWatch.h"

#include <cstdlib>
#include <new>

namespace {
bool g_watching = false;
size_t g_largest = 0;
}

namespace allocationwatch {

void Begin()
{
    g_largest = 0;
    g_watching = true;
}

size_t End()
{
    g_watching = false;
    return g_largest;
}

}  // namespace allocationwatch

void* operator new(size_t size)
{
    if (g_watching && size > g_largest)
        g_largest = size;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
