// SPDX-License-Identifier: MIT
// Times "save" of a long recording. The recording is synthesised straight
// into the device's spool (as fast as the disk takes it) instead of being
// recorded in real time; saving it is then exactly what a user's save does.
// Usage: mci_save_bench BYTES OUTPUT.wav   -> prints "BYTES SECONDS"
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/mci/AudioBackend.h"
#include "platform/mci/MciEngine.h"

namespace {

using namespace tapelark;

// Delivers `bytes` of a 440 Hz stereo tone the moment capture starts.
class SynthesisingBackend final : public AudioBackend {
public:
    explicit SynthesisingBackend(std::uint64_t bytes) : bytes_(bytes) {}
    std::unique_ptr<AudioStream> StartCapture(const WaveFormat&, CaptureTarget& target, std::uint32_t&) override {
        std::vector<std::int16_t> second(44100 * 2);
        for (std::size_t i = 0; i < 44100; ++i)
            second[2 * i] = second[2 * i + 1] =
                static_cast<std::int16_t>(16384 * std::sin(2 * M_PI * 440 * static_cast<double>(i) / 44100));
        std::uint64_t left = bytes_;
        while (left > 0) {
            std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, second.size() * 2));
            target.Captured(second.data(), n);
            left -= n;
        }
        return std::make_unique<AudioStream>();
    }
    std::unique_ptr<AudioStream> StartPlayback(const WaveFormat&, PlaybackSource&, std::uint32_t& error) override {
        error = 274;
        return nullptr;
    }

private:
    std::uint64_t bytes_;
};

bool Send(MciEngine& engine, const std::string& command) {
    std::string reply;
    std::uint32_t code = engine.Send(command, reply);
    if (code != 0) std::fprintf(stderr, "%s: %u %s\n", command.c_str(), code, MciErrorText(code).c_str());
    return code == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mci_save_bench BYTES OUTPUT.wav\n");
        return 2;
    }
    std::uint64_t bytes = std::strtoull(argv[1], nullptr, 10) / 4 * 4;
    MciEngine engine(std::make_shared<SynthesisingBackend>(bytes));
    if (!Send(engine, "open new type waveaudio alias capture") ||
        !Send(engine, "set capture bitspersample 16 samplespersec 44100 channels 2") || !Send(engine, "record capture") ||
        !Send(engine, "stop capture"))
        return 1;
    // A real hour's spool went to the disk during that hour, long before the
    // save; without this the save's fsync would also wait for the synthesised one.
    ::sync();
    auto start = std::chrono::steady_clock::now();
    if (!Send(engine, std::string("save capture ") + argv[2])) return 1;
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%llu %.3f\n", static_cast<unsigned long long>(bytes), took.count());
    return 0;
}
