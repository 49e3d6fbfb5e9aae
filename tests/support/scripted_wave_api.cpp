#include "support/scripted_wave_api.hpp"

#include <algorithm>

namespace orv::test {

namespace {
const char* callName(ScriptedWaveApi::Call call) {
    static constexpr const char* kNames[] = {"Open", "Prepare", "Unprepare", "AddBuffer",
                                             "Write", "Start", "Reset", "Close"};
    return kNames[static_cast<int>(call)];
}
}  // namespace

void ScriptedWaveApi::failNext(WaveDirection dir, Call call, int code, int times) {
    auto& queue = failures_[{static_cast<int>(side(dir)), static_cast<int>(call)}];
    for (int i = 0; i < times; ++i) queue.push_back(code);
}

int ScriptedWaveApi::enter(WaveDirection dir, Call call) {
    calls.push_back(std::string(callName(call)) + (dir == WaveDirection::Capture ? " capture" : " playback"));
    const std::pair key{static_cast<int>(side(dir)), static_cast<int>(call)};
    ++counts_[key];
    auto& queue = failures_[key];
    if (queue.empty()) return kWaveOk;
    const int code = queue.front();
    queue.pop_front();
    return code;
}

int ScriptedWaveApi::count(WaveDirection dir, Call call) const {
    const auto it = counts_.find({static_cast<int>(side(dir)), static_cast<int>(call)});
    return it == counts_.end() ? 0 : it->second;
}

int ScriptedWaveApi::deviceName(WaveDirection dir, int index, std::string& name) {
    if (dir == WaveDirection::Capture && index == failingName) return 2;
    name = (dir == WaveDirection::Capture ? "Capture " : "Playback ") + std::to_string(index);
    return kWaveOk;
}

int ScriptedWaveApi::open(WaveDirection dir, Handle& handle, int device, const WaveFormat& format) {
    opens.push_back(format);
    if (const int rc = enter(dir, Call::Open); rc != kWaveOk) return rc;
    if (device < 0 || device >= devices[side(dir)]) return 2;
    handle = nextHandle_++;
    handles_[handle] = dir;
    openedFormat[side(dir)] = format;
    openedDevice[side(dir)] = device;
    return kWaveOk;
}

int ScriptedWaveApi::prepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) {
    if (const int rc = enter(dir, Call::Prepare); rc != kWaveOk) return rc;
    if (!valid(dir, handle)) return kInvalidHandle;
    header.flags |= kWaveHeaderPrepared;
    return kWaveOk;
}

int ScriptedWaveApi::unprepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) {
    if (const int rc = enter(dir, Call::Unprepare); rc != kWaveOk) return rc;
    if (!valid(dir, handle)) return kInvalidHandle;
    header.flags &= ~kWaveHeaderPrepared;
    return kWaveOk;
}

int ScriptedWaveApi::addBuffer(Handle handle, WaveHeader& header) {
    if (const int rc = enter(WaveDirection::Capture, Call::AddBuffer); rc != kWaveOk) return rc;
    if (!valid(WaveDirection::Capture, handle)) return kInvalidHandle;
    header.bytesRecorded = 0;
    captureQueue_.push_back(&header);
    if (afterAdd) afterAdd(header);
    return kWaveOk;
}

int ScriptedWaveApi::write(Handle handle, WaveHeader& header) {
    if (const int rc = enter(WaveDirection::Playback, Call::Write); rc != kWaveOk) return rc;
    if (!valid(WaveDirection::Playback, handle)) return kInvalidHandle;
    header.flags &= ~kWaveHeaderDone;
    playQueue_.push_back(&header);
    return kWaveOk;
}

int ScriptedWaveApi::start(Handle handle) {
    if (const int rc = enter(WaveDirection::Capture, Call::Start); rc != kWaveOk) return rc;
    return valid(WaveDirection::Capture, handle) ? kWaveOk : kInvalidHandle;
}

int ScriptedWaveApi::reset(WaveDirection dir, Handle handle) {
    if (const int rc = enter(dir, Call::Reset); rc != kWaveOk) return rc;
    if (!valid(dir, handle)) return kInvalidHandle;
    auto& queue = dir == WaveDirection::Capture ? captureQueue_ : playQueue_;
    for (WaveHeader* header : queue) header->flags |= kWaveHeaderDone;
    queue.clear();
    return kWaveOk;
}

int ScriptedWaveApi::close(WaveDirection dir, Handle handle) {
    if (const int rc = enter(dir, Call::Close); rc != kWaveOk) return rc;
    if (!valid(dir, handle)) return kInvalidHandle;
    handles_.erase(handle);
    return kWaveOk;
}

bool ScriptedWaveApi::completeCapture(std::span<const std::uint8_t> bytes) {
    if (captureQueue_.empty()) return false;
    WaveHeader* header = captureQueue_.front();
    captureQueue_.pop_front();
    std::copy_n(bytes.begin(), std::min(bytes.size(), header->data.size()), header->data.begin());
    header->bytesRecorded = static_cast<std::uint32_t>(header->data.size());
    header->flags |= kWaveHeaderDone;
    return true;
}

bool ScriptedWaveApi::completeCapture(std::uint8_t fill) {
    if (captureQueue_.empty()) return false;
    return completeCapture(std::vector<std::uint8_t>(captureQueue_.front()->data.size(), fill));
}

bool ScriptedWaveApi::finishPlayback() {
    if (playQueue_.empty()) return false;
    WaveHeader* header = playQueue_.front();
    playQueue_.pop_front();
    played.insert(played.end(), header->data.begin(), header->data.end());
    header->flags |= kWaveHeaderDone;
    return true;
}

}  // namespace orv::test
