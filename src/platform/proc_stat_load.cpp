#include "platform/proc_stat_load.hpp"

#include <fstream>
#include <string>

namespace orv {

std::optional<int> ProcStatLoad::read() {
    std::ifstream stat("/proc/stat");
    std::string cpu;
    std::uint64_t user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0, steal = 0;
    if (!(stat >> cpu >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal) || cpu != "cpu")
        return std::nullopt;
    const std::uint64_t total = user + nice + system + idle + iowait + irq + softirq + steal;
    const std::uint64_t busy = total - idle - iowait;
    const std::uint64_t dTotal = total - total_;
    const std::uint64_t dBusy = busy - busy_;
    total_ = total;
    busy_ = busy;
    return dTotal == 0 ? 0 : static_cast<int>(dBusy * 100 / dTotal);
}

}  // namespace orv
