#pragma once

#include <cstdint>

#include "ui/processor_load.hpp"

namespace orv {

// The total processor load from /proc/stat: the share of the time since the previous
// reading that was not idle.
class ProcStatLoad final : public ProcessorLoad {
public:
    std::optional<int> read() override;

private:
    std::uint64_t busy_ = 0;
    std::uint64_t total_ = 0;
};

}  // namespace orv
