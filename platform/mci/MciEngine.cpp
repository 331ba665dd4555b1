#include "platform/mci/MciEngine.h"

#include <algorithm>
#include <cstring>

#include "platform/mci/MciCommandParser.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/PulseAudioBackend.h"
#include "platform/mci/WaveAudioDevice.h"

namespace tapelark {

namespace {

bool IsDeviceVerb(const std::string& verb) {
    return verb == "set" || verb == "status" || verb == "record" || verb == "stop" || verb == "play" ||
           verb == "save";
}

bool IsKnownVerb(const std::string& verb) { return verb == "open" || verb == "close" || IsDeviceVerb(verb); }

}  // namespace

MciEngine::MciEngine() : backend_(std::make_shared<PulseAudioBackend>()) {}

MciEngine::MciEngine(std::shared_ptr<AudioBackend> backend) : backend_(std::move(backend)) {}

MciEngine::~MciEngine() {
    std::lock_guard lock(mutex_);
    devices_.clear();
}

std::uint32_t MciEngine::SendString(const char* command, char* reply, std::uint32_t replyLength,
                                    std::uintptr_t /*callbackWindow: no notifications are sent*/) {
    std::string answer;
    std::uint32_t code = Send(command ? command : "", answer);
    if (reply && replyLength > 0) {
        std::size_t n = std::min<std::size_t>(answer.size(), replyLength - 1);
        std::memcpy(reply, answer.data(), n);
        reply[n] = '\0';
    }
    return code;
}

std::uint32_t MciEngine::Send(const std::string& text, std::string& reply) {
    reply.clear();
    MciCommand command;
    std::uint32_t code = ParseMciCommand(text, command);
    if (!command.verb.empty() && !IsKnownVerb(command.verb)) return mcierr::kUnrecognizedCommand;
    if (code != 0) return code;

    std::lock_guard lock(mutex_);
    if (command.verb == "open") return Open(command);
    std::string alias = LowerCase(command.device);
    if (command.verb == "close") {
        if (!command.words.empty()) return mcierr::kUnrecognizedKeyword;
        if (alias == "all") {
            devices_.clear();
            return 0;
        }
        return devices_.erase(alias) ? 0 : mcierr::kInvalidDeviceName;
    }
    if (alias == "all") return mcierr::kCannotUseAll;
    auto found = devices_.find(alias);
    if (found == devices_.end()) return mcierr::kInvalidDeviceName;
    return found->second->Execute(command, reply);
}

std::uint32_t MciEngine::Open(const MciCommand& command) {
    // Only new, empty elements: there is no file to open here.
    if (LowerCase(command.device) != "new") return mcierr::kUnsupportedFunction;
    KeywordReader words(command.words);
    std::string type, alias;
    while (!words.AtEnd()) {
        std::string* target = nullptr;
        if (words.Take("type")) target = &type;
        else if (words.Take("alias")) target = &alias;
        else return mcierr::kUnrecognizedKeyword;
        if (!target->empty()) return mcierr::kDuplicateFlags;
        if (!words.TakeWord(*target) || target->empty()) return mcierr::kMissingStringArgument;
    }
    if (type.empty()) return mcierr::kDeviceTypeRequired;
    if (LowerCase(type) != "waveaudio") return mcierr::kDeviceNotInstalled;
    if (alias.empty()) return mcierr::kNewRequiresAlias;
    alias = LowerCase(alias);
    if (alias == "all") return mcierr::kCannotUseAll;
    if (devices_.count(alias)) return mcierr::kDuplicateAlias;
    auto device = std::make_unique<WaveAudioDevice>(*backend_);
    device->ChooseInput(input_, emulatorLocation_);
    if (std::uint32_t code = device->Open()) return code;
    devices_.emplace(alias, std::move(device));
    return 0;
}

void MciEngine::SetCaptureInput(const CaptureInput& input) {
    std::lock_guard lock(mutex_);
    input_ = input;
}

void MciEngine::SetEmulatorLocation(EmulatorLocation location) {
    std::lock_guard lock(mutex_);
    emulatorLocation_ = std::move(location);
}

}  // namespace tapelark
