#include "platform/file_wave_api.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include <sndfile.h>

#include "dsp/rates.hpp"

namespace orv {

namespace {

std::int64_t durationMs(std::int64_t frames, int rate) { return frames * 1000 / rate; }

// The same for a device whose clock is off by `ppm` parts per million (faster when
// positive): it takes the frames in a little less time.
std::int64_t durationMs(std::int64_t frames, int rate, double ppm) {
    if (ppm == 0) return durationMs(frames, rate);
    return static_cast<std::int64_t>(static_cast<double>(frames) * 1000.0 / (rate * (1.0 + ppm * 1e-6)));
}
}  // namespace

FileWaveApi::FileWaveApi(Clock& clock, std::optional<Recording> recording, std::string outputPath, bool loop,
                         std::string shownAs)
    : clock_(clock),
      recording_(std::move(recording)),
      outputPath_(std::move(outputPath)),
      loop_(loop),
      shownPath_(shownAs.empty() ? outputPath_ : std::move(shownAs)) {}

FileWaveApi::~FileWaveApi() {
    if (!output_) return;
    flushPending();
    sf_close(output_);
}

void FileWaveApi::fail(const std::string& english, const std::string& french) {
    if (failure_.english.empty()) failure_ = {english, french};
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
        // The handle stays where the last capture left it: a reopen goes on from there.
        input_ = recording_->file.get();
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
        fail("the output audio changed format in the middle of '" + shownPath_ + "'",
             "le son de sortie a changé de format au milieu de '" + shownPath_ + "'");
        return false;
    }
    SF_INFO info{};
    info.samplerate = playbackFormat_.samplesPerSecond;
    info.channels = playbackFormat_.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    output_ = sf_open(outputPath_.c_str(), SFM_WRITE, &info);
    if (!output_) {
        const std::string reason = sf_strerror(nullptr);
        fail("cannot write the output file '" + shownPath_ + "': " + reason,
             "impossible d'écrire le fichier de sortie '" + shownPath_ + "' : " + reason);
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
    captureStartMs_ = clock_.nowMs() - durationMs(framesCaptured_, recording_->rate, ppm_);
    return kWaveOk;
}

int FileWaveApi::write(Handle handle, WaveHeader& header) {
    if (!playbackOpen_ || handle != kPlaybackHandle) return kWaveInvalidHandle;
    if (playbackFormat_.bitsPerSample != 16) return kWaveBadFormat;
    if (!outputPath_.empty() && !openOutput()) return kWaveError;
    header.flags &= ~kWaveHeaderDone;
    const auto frames = static_cast<std::int64_t>(header.data.size()) / playbackFormat_.blockAlign();
    // Played frames are counted from the moment the device last ran dry, so a clock error
    // adds up rather than being lost to whole milliseconds.
    const std::int64_t now = clock_.nowMs();
    if (now >= playbackFreeAtMs_) {
        playbackRunStartMs_ = now;
        playbackRunFrames_ = 0;
    }
    playbackRunFrames_ += frames;
    playbackFreeAtMs_ = playbackRunStartMs_ + durationMs(playbackRunFrames_, playbackFormat_.samplesPerSecond, ppm_);
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
        input_ = nullptr;
        captureOpen_ = false;
        return kWaveOk;
    }
    if (!playbackOpen_ || handle != kPlaybackHandle) return kWaveInvalidHandle;
    playbackOpen_ = false;  // the output file stays open: a reopen appends to it
    return kWaveOk;
}

bool FileWaveApi::flushPending() {
    if (!output_ || pending_.empty()) return true;
    const auto frames = static_cast<sf_count_t>(pending_.size()) / outputFormat_.channels;
    const bool written = sf_writef_short(output_, pending_.data(), frames) == frames;
    pending_.clear();
    if (!written) {
        const std::string reason = sf_strerror(output_);
        fail("cannot write the output file '" + shownPath_ + "': " + reason,
             "impossible d'écrire le fichier de sortie '" + shownPath_ + "' : " + reason);
    }
    return written;
}

bool FileWaveApi::finishOutput() {
    if (outputPath_.empty()) return failure_.english.empty();
    if (!output_ && playbackFormat_.bitsPerSample == 16 && failure_.english.empty()) openOutput();
    if (output_) {
        flushPending();
        const int error = sf_close(output_);
        output_ = nullptr;
        if (error != 0) {
            const std::string reason = sf_error_number(error);
            fail("cannot complete the output file '" + shownPath_ + "': " + reason,
                 "impossible de terminer le fichier de sortie '" + shownPath_ + "' : " + reason);
        }
    }
    return failure_.english.empty();
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
        if (clock_.nowMs() < captureStartMs_ + durationMs(framesCaptured_ + frames, recording_->rate, ppm_)) return;
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
    const sf_count_t got = draining_ ? 0 : readFrames(scratch_.data(), frames);
    if (got < frames) {
        // The end: the last part-buffer and then silence, while there is silence to give.
        if (!draining_) {
            draining_ = true;
            drainLeft_ = drainFrames_;
        }
        if (got == 0 && drainLeft_ <= 0) return false;
        std::fill(scratch_.begin() + got * recording_->channels, scratch_.end(), short{0});
        drainLeft_ -= frames - got;
    }
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(header.data.data(), scratch_.data(), scratch_.size() * sizeof(short));
    } else {
        for (std::size_t i = 0; i < scratch_.size(); ++i) {
            const auto bits = static_cast<std::uint16_t>(scratch_[i]);
            header.data[2 * i] = static_cast<std::uint8_t>(bits & 0xFF);
            header.data[2 * i + 1] = static_cast<std::uint8_t>(bits >> 8);
        }
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
            const std::size_t at = pending_.size();
            pending_.resize(at + header.data.size() / 2);
            if constexpr (std::endian::native == std::endian::little) {
                std::memcpy(pending_.data() + at, header.data.data(), header.data.size() / 2 * sizeof(short));
            } else {
                for (std::size_t i = 0; i < header.data.size() / 2; ++i)
                    pending_[at + i] = static_cast<short>(header.data[2 * i] | (header.data[2 * i + 1] << 8));
            }
            const auto halfSecond = static_cast<std::size_t>(outputFormat_.samplesPerSecond / 2 * outputFormat_.channels);
            if (pending_.size() >= halfSecond) flushPending();
        }
        framesWritten_ += frames;
        header.flags.fetch_or(kWaveHeaderDone, std::memory_order_release);
    }
}

}  // namespace orv
