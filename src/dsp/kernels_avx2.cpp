// The numeric kernels built for one instruction set (see the target's compile options).
#define ORV_KERNEL_NAMESPACE avx2
#define ORV_LANES 8
#include "dsp/kernels_impl.inl"
