#include "platform/file_wave_api.hpp"

#include <algorithm>
#include <array>

#include <sndfile.h>

#include "dsp/rates.hpp"

namespace orv {

namespace {

std::int64_t durationMs(std::int64_t frames, int rate) { return frames * 1000 / rate; }
}  // namespace

namespace {

// The recording's format, or an error when it cannot be read or is not 16-bit PCM.
Recording inspect(const std::string& path, std::string& error) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "cannot read the recording '" + path + "': " + sf_strerror(nullptr);
        return {};
    }
    sf_close(file);
    if ((info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_PCM_16) error = "the recording '" + path + "' is not 16-bit";
    return {path, info.samplerate, info.channels, info.frames};
}

}  // namespace

Recording Recording::inspectReceiver(const std::string& path, std::string& error) {
    Recording r = inspect(path, error);
    if (!error.empty()) return r;
    if (r.channels != 2) {
        error = "the recording '" + path + "' is not 16-bit stereo I/Q (left I, right Q)";
    } else if (std::find(std::begin(kCaptureRates), std::end(kCaptureRates), r.rate) == std::end(kCaptureRates)) {
        error = "the recording '" + path + "' is at " + std::to_string(r.rate) +
                " samples/s; the receiver runs at 11025, 12000, 44100, 48000, 96000 or 192000";
    }
    return r;
}

Recording Recording::inspectMicrophone(const std::string& path, std::string& error) {
    Recording r = inspect(path, error);
    if (!error.empty()) return r;
    if (r.channels != 1 || (r.rate != 11025 && r.rate != 12000))
        error = "the microphone recording '" + path + "' must be mono at 11025 or 12000 samples/s";
    return r;
}

FileWaveApi::FileWaveApi(Clock& clock, std::optional<Recording> recording, std::string outputPath, bool loop)
    : clock_(clock), recording_(std::move(recording)), outputPath_(std::move(outputPath)), loop_(loop) {}

FileWaveApi::~FileWaveApi() {
    if (input_) sf_close(input_);
    if (output_) sf_close(output_);
}

int FileWaveApi::deviceCount(WaveDirection dir) {
    // Playback always exists: without a file the audio is played nowhere.
    return dir == WaveDirection::Playback || recording_ ? 1 : 0;
}

int FileWaveApi::deviceName(WaveDirection dir, int index, std::string& name) {
    if (index != 0 || index >= deviceCount(dir)) return kWaveBadDevice;
    if (dir == WaveDirection::Capture)
        name = recording_->path;
    else
        name = outputPath_.empty() ? "Discard" : outputPath_;
    return kWaveOk;
}

int FileWaveApi::open(WaveDirection dir, Handle& handle, int device, const WaveFormat& format) {
    if (device != 0 || device >= deviceCount(dir)) return kWaveBadDevice;
    if (dir == WaveDirection::Capture) {
        if (captureOpen_) return kWaveError;
        // A recording plays at its own format only, like a card that refuses the others.
        if (format.bitsPerSample != 16 || format.channels != recording_->channels ||
            format.samplesPerSecond != recording_->rate)
            return kWaveBadFormat;
        SF_INFO info{};
        input_ = sf_open(recording_->path.c_str(), SFM_READ, &info);
        if (!input_) return kWaveError;
        if (framesCaptured_ > 0) sf_seek(input_, framesCaptured_ % std::max<std::int64_t>(recording_->frames, 1), SEEK_SET);
        captureOpen_ = true;
        handle = kCaptureHandle;
        return kWaveOk;
    }
    // 8-bit opens carry no data: the format trial before each receive open uses one.
    if (playbackOpen_) return kWaveError;
    if (format.bitsPerSample != 16 && format.bitsPerSample != 8) return kWaveBadFormat;
    playbackOpen_ = true;
    playbackFormat_ = format;
    playbackFreeAtMs_ = clock_.nowMs();
    handle = kPlaybackHandle;
    return kWaveOk;
}

bool FileWaveApi::openOutput() {
    if (output_) {
        if (outputFormat_.channels == playbackFormat_.channels &&
            outputFormat_.samplesPerSecond == playbackFormat_.samplesPerSecond)
            return true;
        failure_ = "the output audio changed format in the middle of '" + outputPath_ + "'";
        return false;
    }
    SF_INFO info{};
    info.samplerate = playbackFormat_.samplesPerSecond;
    info.channels = playbackFormat_.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    output_ = sf_open(outputPath_.c_str(), SFM_WRITE, &info);
    if (!output_) {
        failure_ = "cannot write the output file '" + outputPath_ + "': " + sf_strerror(nullptr);
        return false;
    }
    outputFormat_ = playbackFormat_;
    // The header is rewritten with every write, so an interrupted run leaves a readable file.
    sf_command(output_, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    return true;
}

int FileWaveApi::prepareHeader(WaveDirection dir, Handle handle, WaveHeader& header) {
    const bool valid = dir == WaveDirection::Capture ? captureOpen_ && handle == kCaptureHandle
                                                     : playbackOpen_ && handle == kPlaybackHandle;
    if (!valid) return kWaveInvalidHandle;
    header.flags |= kWaveHeaderPrepared;
    return kWaveOk;
}

int FileWaveApi::unprepareHeader(WaveDirection, Handle, WaveHeader& header) {
    header.flags &= ~kWaveHeaderPrepared;
    return kWaveOk;
}

int FileWaveApi::addBuffer(Handle handle, WaveHeader& header) {
    if (!captureOpen_ || handle != kCaptureHandle) return kWaveInvalidHandle;
    header.bytesRecorded = 0;
    captureQueue_.push_back(&header);
    return kWaveOk;
}

int FileWaveApi::start(Handle handle) {
    if (!captureOpen_ || handle != kCaptureHandle) return kWaveInvalidHandle;
    captureStarted_ = true;
    captureStartMs_ = clock_.nowMs() - durationMs(framesCaptured_, recording_->rate);
    return kWaveOk;
}

int FileWaveApi::write(Handle handle, WaveHeader& header) {
    if (!playbackOpen_ || handle != kPlaybackHandle) return kWaveInvalidHandle;
    if (playbackFormat_.bitsPerSample != 16) return kWaveBadFormat;
    if (!outputPath_.empty() && !openOutput()) return kWaveError;
    header.flags &= ~kWaveHeaderDone;
    const auto frames = static_cast<std::int64_t>(header.data.size()) / playbackFormat_.blockAlign();
    playbackFreeAtMs_ = std::max(playbackFreeAtMs_, clock_.nowMs()) + durationMs(frames, playbackFormat_.samplesPerSecond);
    playing_.emplace_back(&header, playbackFreeAtMs_);
    return kWaveOk;
}

int FileWaveApi::reset(WaveDirection dir, Handle handle) {
    if (dir == WaveDirection::Capture) {
        if (!captureOpen_ || handle != kCaptureHandle) return kWaveInvalidHandle;
        captureQueue_.clear();
        captureStarted_ = false;
        return kWaveOk;
    }
    if (!playbackOpen_ || handle != kPlaybackHandle) return kWaveInvalidHandle;
    for (auto& [header, doneAt] : playing_) header->flags |= kWaveHeaderDone;
    playing_.clear();
    return kWaveOk;
}

int FileWaveApi::close(WaveDirection dir, Handle handle) {
    if (dir == WaveDirection::Capture) {
        if (!captureOpen_ || handle != kCaptureHandle) return kWaveInvalidHandle;
        sf_close(input_);
        input_ = nullptr;
        captureOpen_ = false;
        return kWaveOk;
    }
    if (!playbackOpen_ || handle != kPlaybackHandle) return kWaveInvalidHandle;
    playbackOpen_ = false;  // the output file stays open: a reopen appends to it
    return kWaveOk;
}

void FileWaveApi::pump() {
    pumpCapture();
    pumpPlayback();
}

void FileWaveApi::pumpCapture() {
    if (!captureStarted_ || ended_) return;
    while (!captureQueue_.empty()) {
        WaveHeader& header = *captureQueue_.front();
        const auto frames = static_cast<std::int64_t>(header.data.size()) / (2 * recording_->channels);
        if (clock_.nowMs() < captureStartMs_ + durationMs(framesCaptured_ + frames, recording_->rate)) return;
        if (!fillFromRecording(header)) {
            ended_ = true;
            return;
        }
        captureQueue_.pop_front();
    }
}

bool FileWaveApi::fillFromRecording(WaveHeader& header) {
    const auto frames = static_cast<sf_count_t>(header.data.size()) / (2 * recording_->channels);
    // Samples are read as host shorts and stored little-endian, as a card delivers them.
    scratch_.resize(static_cast<std::size_t>(frames * recording_->channels));
    if (readFrames(scratch_.data(), frames) != frames) return false;
    for (std::size_t i = 0; i < scratch_.size(); ++i) {
        const auto bits = static_cast<std::uint16_t>(scratch_[i]);
        header.data[2 * i] = static_cast<std::uint8_t>(bits & 0xFF);
        header.data[2 * i + 1] = static_cast<std::uint8_t>(bits >> 8);
    }
    framesCaptured_ += frames;
    header.bytesRecorded.store(static_cast<std::uint32_t>(header.data.size()), std::memory_order_release);
    return true;
}

sf_count_t FileWaveApi::readFrames(short* into, sf_count_t frames) {
    sf_count_t got = sf_readf_short(input_, into, frames);
    // Looping, the end of the recording joins its start without a gap.
    while (loop_ && got < frames && recording_->frames > 0) {
        sf_seek(input_, 0, SEEK_SET);
        const sf_count_t more = sf_readf_short(input_, into + got * recording_->channels, frames - got);
        if (more <= 0) break;
        got += more;
    }
    return got;
}

void FileWaveApi::pumpPlayback() {
    while (!playing_.empty() && clock_.nowMs() >= playing_.front().second) {
        WaveHeader& header = *playing_.front().first;
        playing_.pop_front();
        const auto frames = static_cast<sf_count_t>(header.data.size()) / playbackFormat_.blockAlign();
        if (output_) {
            scratch_.resize(header.data.size() / 2);
            for (std::size_t i = 0; i < scratch_.size(); ++i)
                scratch_[i] = static_cast<short>(header.data[2 * i] | (header.data[2 * i + 1] << 8));
            if (sf_writef_short(output_, scratch_.data(), frames) != frames && failure_.empty())
                failure_ = "cannot write the output file '" + outputPath_ + "': " + sf_strerror(output_);
        }
        framesWritten_ += frames;
        header.flags.fetch_or(kWaveHeaderDone, std::memory_order_release);
    }
}

}  // namespace orv
