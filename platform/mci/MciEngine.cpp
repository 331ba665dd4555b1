#include "platform/mci/MciEngine.h"

#include "platform/mci/MciErrors.h"

namespace tapelark {

class WaveAudioDevice {};

MciEngine::MciEngine() = default;
MciEngine::MciEngine(std::shared_ptr<AudioBackend> backend) : backend_(std::move(backend)) {}
MciEngine::~MciEngine() = default;

std::uint32_t MciEngine::SendString(const char*, char* reply, std::uint32_t replyLength, std::uintptr_t) {
    if (reply && replyLength > 0) reply[0] = '\0';
    return mcierr::kUnsupportedFunction;
}

std::uint32_t MciEngine::Send(const std::string&, std::string& reply) {
    reply.clear();
    return mcierr::kUnsupportedFunction;
}

}  // namespace tapelark
