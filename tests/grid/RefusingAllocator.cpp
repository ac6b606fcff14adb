// Replaces the global operator new and delete of the grid test binary. While a
// RefuseBlocksOf is alive, requests of its size fail as if memory had run out: the
// throwing forms throw std::bad_alloc and the nothrow forms answer null. Everything
// else goes to malloc and free, which the sanitizers still watch.
#include "RefusingAllocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> g_refusedSize{0};
std::atomic<int> g_refused{0};

void* Allocate(std::size_t bytes) noexcept
{
    const std::size_t refused = g_refusedSize.load(std::memory_order_relaxed);
    if (refused != 0 && bytes == refused) {
        g_refused.fetch_add(1, std::memory_order_relaxed);
        return nullptr;
    }
    return std::malloc(bytes ? bytes : 1);
}

void* AllocateOrThrow(std::size_t bytes)
{
    void* p = Allocate(bytes);
    if (!p)
        throw std::bad_alloc();
    return p;
}

}

namespace zorkit::test {

RefuseBlocksOf::RefuseBlocksOf(std::size_t bytes)
{
    g_refused = 0;
    g_refusedSize = bytes;
}

RefuseBlocksOf::~RefuseBlocksOf() { g_refusedSize = 0; }

int RefuseBlocksOf::Refused() const { return g_refused; }

}

void* operator new(std::size_t bytes) { return AllocateOrThrow(bytes); }
void* operator new[](std::size_t bytes) { return AllocateOrThrow(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return Allocate(bytes); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return Allocate(bytes); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
