#pragma once

#include <atomic>

// The state of the upper halves of the vector registers, which decides how fast the program's
// own floating-point code runs.
//
// The program is built for plain x86-64, so its arithmetic, like the C library's sin and cos
// it calls, is SSE code working on the lower 128 bits of the vector registers. Code built for
// AVX, such as Qt's image fills and blends, can leave the upper halves "dirty". Then, on many
// Intel CPUs, every SSE instruction also merges or saves those upper halves, and the arc walk
// runs many times slower until a vzeroupper marks them clean again. Every Cls and every repaint
// can dirty them again, on the thread that runs the next redraw. So the hot loops (the arc walk,
// on whichever thread runs it, and the plotting of its dots) start with clearUpperVectorState():
// one vzeroupper, only where the CPU has AVX, once a call and not once a point. CPUs without
// the penalty lose nothing, and plain x86-64 CPUs never see the instruction.
//
// It changes no arithmetic: the same instructions run on the same values, so the points and
// the pixels are bit for bit those of a walk without it. Building the loops for AVX2 with
// runtime dispatch would avoid the penalty too, but would compile a second copy of the walk
// whose results stay identical only with -ffp-contract=off, for no gain once the state is
// clean: the walk is a chain of scalar steps and calls, not a loop the compiler widens.

// On unless a test or a benchmark turns it off, to show what the clearing saves and that the
// points and the pixels are the same without it.
inline std::atomic<bool> upperVectorStateClearing{true};

inline void clearUpperVectorState()
{
#if defined(__x86_64__) && defined(__GNUC__)
    if (__builtin_cpu_supports("avx") && upperVectorStateClearing.load(std::memory_order_relaxed)) {
        // Declared as destroying every register it touches, so that a caller built for AVX
        // keeps no value in an upper half across it.
        asm volatile("vzeroupper" ::
                         : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8",
                           "xmm9", "xmm10", "xmm11", "xmm12", "xmm13", "xmm14", "xmm15");
    }
#endif
}

// Leaves the upper halves dirty, as AVX code that ends without a vzeroupper does: for the tests
// and benchmarks that must see the state the clearing is for, whatever ran before them.
inline void dirtyUpperVectorState()
{
#if defined(__x86_64__) && defined(__GNUC__)
    if (__builtin_cpu_supports("avx")) {
        // All ones in all 256 bits of ymm0 (compare predicate 15: always true).
        asm volatile("vcmpps $15, %%ymm0, %%ymm0, %%ymm0" ::: "xmm0");
    }
#endif
}
