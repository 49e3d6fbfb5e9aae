// The numeric kernels built for one instruction set (see the target's compile options).
#define ORV_KERNEL_NAMESPACE baseline
#define ORV_LANES 4
#include "dsp/kernels_impl.inl"
