// The numeric kernels built for one instruction set (see the target's compile options).
#define ORV_KERNEL_NAMESPACE avx512
#define ORV_LANES 16
#include "dsp/kernels_impl.inl"
