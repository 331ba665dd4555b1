// SPDX-License-Identifier: MIT
#include "platform/mci/ClockedMixer.h"

#include <algorithm>
#include <cstring>

namespace tapelark {

namespace {
constexpr std::size_t kChunkFrames = 4096;
}

ClockedMixer::ClockedMixer(const WaveFormat& format, std::uint64_t backlogFrames)
    : format_(format), backlogBytes_(static_cast<std::size_t>(backlogFrames) * format.blockAlign) {}

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
    if (data) {
        auto* p = static_cast<const unsigned char*>(data);
        t.bytes.insert(t.bytes.end(), p, p + bytes);
    } else {
        t.bytes.insert(t.bytes.end(), bytes, format_.bitsPerSample == 8 ? 0x80 : 0);
    }
    if (t.Queued() > backlogBytes_) {
        std::size_t excess = t.Queued() - backlogBytes_;
        Consume(t, excess - excess % format_.blockAlign);
    }
}

void ClockedMixer::Close(int track) {
    auto found = tracks_.find(track);
    if (found == tracks_.end()) return;
    if (found->second.Queued() == 0) tracks_.erase(found);
    else found->second.closed = true;
}

void ClockedMixer::Consume(Track& t, std::size_t bytes) {
    t.read += bytes;
    if (t.read == t.bytes.size()) {
        t.bytes.clear();
        t.read = 0;
    } else if (t.read > 65536 && t.read > t.bytes.size() / 2) {
        t.bytes.erase(t.bytes.begin(), t.bytes.begin() + static_cast<std::ptrdiff_t>(t.read));
        t.read = 0;
    }
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
            if (t.Queued() >= align) ++playing, only = &t;
        if (playing == 0 || (playing == 1 && only->Queued() >= bytes)) {
            if (playing == 1) {
                out.Captured(only->bytes.data() + only->read, bytes);
                Consume(*only, bytes);
            } else {
                out_.assign(bytes, eightBit ? 0x80 : 0);
                out.Captured(out_.data(), bytes);
            }
            for (auto it = tracks_.begin(); it != tracks_.end();)
                it = it->second.closed && it->second.Queued() == 0 ? tracks_.erase(it) : std::next(it);
            emitted_ += n;
            frames -= n;
            continue;
        }
        sum_.assign(samples, 0);
        for (auto it = tracks_.begin(); it != tracks_.end();) {
            Track& t = it->second;
            std::size_t take = std::min(t.Queued(), bytes);
            take -= take % align;
            const unsigned char* p = t.bytes.data() + t.read;
            for (std::size_t i = 0; i < take / width; ++i) {
                sum_[i] += eightBit ? p[i] - 0x80
                                    : static_cast<std::int16_t>(static_cast<std::uint16_t>(p[2 * i] | p[2 * i + 1] << 8));
            }
            Consume(t, take);
            it = t.closed && t.Queued() == 0 ? tracks_.erase(it) : std::next(it);
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
