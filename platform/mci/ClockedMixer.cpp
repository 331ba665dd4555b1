// SPDX-License-Identifier: MIT
#include "platform/mci/ClockedMixer.h"

#include <algorithm>
#include <cstring>

namespace tapelark {

namespace {
constexpr std::size_t kChunkFrames = 4096;
}

ClockedMixer::ClockedMixer(const WaveFormat& format, std::uint64_t backlogFrames)
    : format_(format),
      backlogBytes_(std::max<std::size_t>(static_cast<std::size_t>(backlogFrames), 1) * format.blockAlign),
      silence_(format.bitsPerSample == 8 ? 0x80 : 0) {}

int ClockedMixer::AddTrack() {
    tracks_[nextTrack_];
    return nextTrack_++;
}

void ClockedMixer::StartAt(int track, std::uint64_t frame) {
    auto found = tracks_.find(track);
    if (found == tracks_.end() || found->second.started) return;
    found->second.started = true;
    if (frame > emitted_) {
        std::uint64_t lead = std::min<std::uint64_t>(frame - emitted_, backlogBytes_ / format_.blockAlign);
        Push(track, nullptr, static_cast<std::size_t>(lead) * format_.blockAlign);
    }
}

bool ClockedMixer::Started(int track) const {
    auto found = tracks_.find(track);
    return found != tracks_.end() && found->second.started;
}

void ClockedMixer::Push(int track, const void* data, std::size_t bytes) {
    auto found = tracks_.find(track);
    if (found == tracks_.end()) return;
    Track& t = found->second;
    t.started = true;
    if (t.ring.empty()) t.ring.resize(backlogBytes_);
    // Beyond the backlog only the newest sound counts: the oldest goes first.
    bytes -= bytes % format_.blockAlign;
    auto* p = static_cast<const unsigned char*>(data);
    if (bytes > backlogBytes_) {
        if (p) p += bytes - backlogBytes_;
        bytes = backlogBytes_;
    }
    if (t.queued + bytes > backlogBytes_)
        Take(t, t.queued + bytes - backlogBytes_, [](const unsigned char*, std::size_t) {});
    Append(t, p, bytes);
}

void ClockedMixer::Append(Track& t, const unsigned char* data, std::size_t bytes) {
    std::size_t at = (t.head + t.queued) % t.ring.size();
    while (bytes > 0) {
        std::size_t n = std::min(bytes, t.ring.size() - at);
        if (data) std::memcpy(t.ring.data() + at, data, n), data += n;
        else std::memset(t.ring.data() + at, silence_, n);
        t.queued += n;
        bytes -= n;
        at = 0;
    }
}

template <typename Use>
void ClockedMixer::Take(Track& t, std::size_t bytes, Use use) {
    bytes = std::min(bytes, t.queued);
    while (bytes > 0) {
        std::size_t n = std::min(bytes, t.ring.size() - t.head);
        use(t.ring.data() + t.head, n);
        t.head = (t.head + n) % t.ring.size();
        t.queued -= n;
        bytes -= n;
    }
}

void ClockedMixer::Close(int track) {
    auto found = tracks_.find(track);
    if (found == tracks_.end()) return;
    if (found->second.queued == 0) tracks_.erase(found);
    else found->second.closed = true;
}

void ClockedMixer::Emit(std::uint64_t frames, CaptureTarget& out) {
    const bool eightBit = format_.bitsPerSample == 8;
    const std::size_t align = format_.blockAlign, width = eightBit ? 1 : 2;
    while (frames > 0) {
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(frames, kChunkFrames));
        std::size_t bytes = n * align, samples = bytes / width;
        // Most of the time one stream plays, or none: no mixing then.
        Track* only = nullptr;
        int playing = 0;
        for (auto& [id, t] : tracks_)
            if (t.queued >= align) ++playing, only = &t;
        if (playing == 0 || (playing == 1 && only->queued >= bytes)) {
            if (playing == 1) {
                Take(*only, bytes, [&out](const unsigned char* p, std::size_t b) { out.Captured(p, b); });
            } else {
                out_.assign(bytes, silence_);
                out.Captured(out_.data(), bytes);
            }
            for (auto it = tracks_.begin(); it != tracks_.end();)
                it = it->second.closed && it->second.queued == 0 ? tracks_.erase(it) : std::next(it);
            emitted_ += n;
            frames -= n;
            continue;
        }
        sum_.assign(samples, 0);
        for (auto it = tracks_.begin(); it != tracks_.end();) {
            Track& t = it->second;
            std::size_t i = 0;
            Take(t, std::min(t.queued, bytes), [&](const unsigned char* p, std::size_t b) {
                for (std::size_t k = 0; k < b / width; ++k, ++i)
                    sum_[i] += eightBit ? p[k] - 0x80 : static_cast<std::int16_t>(p[2 * k] | p[2 * k + 1] << 8);
            });
            it = t.closed && t.queued == 0 ? tracks_.erase(it) : std::next(it);
        }
        out_.resize(bytes);
        for (std::size_t i = 0; i < samples; ++i) {
            if (eightBit) {
                out_[i] = static_cast<unsigned char>(std::clamp(sum_[i], -128, 127) + 0x80);
            } else {
                auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(sum_[i], -32768, 32767)));
                out_[2 * i] = static_cast<unsigned char>(v & 0xFF);
                out_[2 * i + 1] = static_cast<unsigned char>(v >> 8);
            }
        }
        out.Captured(out_.data(), bytes);
        emitted_ += n;
        frames -= n;
    }
}

}  // namespace tapelark
