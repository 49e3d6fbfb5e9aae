#include "platform/role_wave_api.hpp"

#include <algorithm>

namespace orv {

FileWaveApi* RoleWaveApi::fileFor(WaveDirection dir, int channels) const {
    if (dir == WaveDirection::Capture) return channels == 2 ? files_.rx : files_.mic;
    return channels == 2 ? files_.tx : files_.speaker;
}

const RoleWaveApi::Route* RoleWaveApi::route(Handle handle) const {
    const auto it = routes_.find(handle);
    return it == routes_.end() ? nullptr : &it->second;
}

void RoleWaveApi::pump() {
    for (FileWaveApi* file : {files_.rx, files_.mic, files_.speaker, files_.tx})
        if (file) file->pump();
}

Bilingual RoleWaveApi::failure() const {
    for (const FileWaveApi* file : {files_.speaker, files_.tx})
        if (file && !file->failure().english.empty()) return file->failure();
    return {};
}

int RoleWaveApi::deviceCount(WaveDirection dir) {
    // A role served by a file needs no card: there is at least one device for it.
    const bool fileRole = dir == WaveDirection::Capture ? (files_.rx || files_.mic) : (files_.speaker || files_.tx);
    return std::max(cards_.deviceCount(dir), fileRole ? 1 : 0);
}

int RoleWaveApi::deviceName(WaveDirection dir, int index, std::string& name) {
    if (index < cards_.deviceCount(dir)) return cards_.deviceName(dir, index, name);
    if (index >= deviceCount(dir)) return kWaveBadDevice;
    name = "File";
    return kWaveOk;
}

int RoleWaveApi::open(WaveDirection dir, Handle& handle, int device, const WaveFormat& format) {
    WaveApi* api = fileFor(dir, format.channels);
    if (!api) api = &cards_;
    Handle inner = -1;
    const int rc = api->open(dir, inner, api == &cards_ ? device : 0, format);
    if (rc != kWaveOk) return rc;
    handle = nextHandle_++;
    routes_[handle] = {api, inner};
    return kWaveOk;
}

int RoleWaveApi::prepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) {
    const Route* r = route(handle);
    return r ? r->api->prepareHeader(dir, r->inner, header) : kWaveInvalidHandle;
}

int RoleWaveApi::unprepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) {
    const Route* r = route(handle);
    return r ? r->api->unprepareHeader(dir, r->inner, header) : kWaveInvalidHandle;
}

int RoleWaveApi::addBuffer(Handle handle, WaveHeader& header) {
    const Route* r = route(handle);
    return r ? r->api->addBuffer(r->inner, header) : kWaveInvalidHandle;
}

int RoleWaveApi::write(Handle handle, WaveHeader& header) {
    const Route* r = route(handle);
    return r ? r->api->write(r->inner, header) : kWaveInvalidHandle;
}

int RoleWaveApi::start(Handle handle) {
    const Route* r = route(handle);
    return r ? r->api->start(r->inner) : kWaveInvalidHandle;
}

int RoleWaveApi::reset(WaveDirection dir, Handle handle) {
    const Route* r = route(handle);
    return r ? r->api->reset(dir, r->inner) : kWaveInvalidHandle;
}

int RoleWaveApi::close(WaveDirection dir, Handle handle) {
    const Route* r = route(handle);
    if (!r) return kWaveInvalidHandle;
    const int rc = r->api->close(dir, r->inner);
    if (rc == kWaveOk) routes_.erase(handle);
    return rc;
}

}  // namespace orv
