// SPDX-License-Identifier: MIT
#include "platform/mci/MciEngine.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "common/AsciiText.h"
#include "platform/mci/MciCommandParser.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/PulseAudioBackend.h"
#include "platform/mci/WaveAudioDevice.h"

namespace tapelark {

namespace {

constexpr const char* kDeviceType = "waveaudio";

bool EndsWithWav(const std::string& name) {
    return name.size() > 4 && AsciiLowerCase(name.substr(name.size() - 4)) == ".wav";
}

// A device name that names a file rather than an alias or a device type.
bool NamesAFile(const std::string& name) { return name.find_first_of("./\\") != std::string::npos; }

}  // namespace

MciEngine::MciEngine() : backend_(std::make_shared<PulseAudioBackend>()) {}

MciEngine::MciEngine(std::shared_ptr<AudioBackend> backend) : backend_(std::move(backend)) {}

MciEngine::~MciEngine() {
    std::lock_guard lock(mutex_);
    devices_.clear();
}

void MciEngine::SetNotifySink(MciNotifySink sink) {
    std::lock_guard lock(sinkMutex_);
    sink_ = std::move(sink);
}

void MciEngine::SetWarningSink(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(sinkMutex_);
    warningSink_ = std::move(sink);
}

void MciEngine::Notify(std::uintptr_t callback, const std::string& alias, MciNotify result) {
    MciNotifySink sink;
    {
        std::lock_guard lock(sinkMutex_);
        sink = sink_;
    }
    if (sink && callback != 0) sink(callback, alias, result);
}

std::uint32_t MciEngine::SendString(const char* command, char* reply, std::uint32_t replyLength,
                                    std::uintptr_t callbackWindow) {
    std::string answer;
    MciCommand parsed;
    std::uint32_t code = ParseAndRun(command ? command : "", parsed, answer, callbackWindow);
    // sysinfo alone among the commands refuses a reply that does not fit.
    if (code == 0 && parsed.verb == MciVerb::Sysinfo && (!reply || answer.size() >= replyLength)) {
        code = mcierr::kParamOverflow;
        answer.clear();
    }
    if (reply && replyLength > 0) {
        std::size_t n = std::min<std::size_t>(answer.size(), replyLength - 1);
        std::memcpy(reply, answer.data(), n);
        reply[n] = '\0';
    }
    return code;
}

std::uint32_t MciEngine::Send(const std::string& text, std::string& reply, std::uintptr_t callback) {
    MciCommand command;
    return ParseAndRun(text, command, reply, callback);
}

std::uint32_t MciEngine::ParseAndRun(const std::string& text, MciCommand& command, std::string& reply,
                               std::uintptr_t callback) {
    reply.clear();
    if (std::uint32_t code = ParseMciCommand(text, command)) return code;

    std::lock_guard lock(mutex_);
    CloseIdleAutoOpened();
    if (command.verb == MciVerb::Open) return Open(command, reply, callback);
    if (command.verb == MciVerb::Close) return Close(command, callback);
    if (command.verb == MciVerb::Sysinfo) return Sysinfo(command, reply, callback);
    std::string alias = AsciiLowerCase(command.device);
    if (alias == "all") return mcierr::kCannotUseAll;
    auto found = devices_.find(alias);
    if (found == devices_.end()) return WithoutDevice(command, reply, callback);
    // The engine keeps a file opened by naming it to itself; it cannot notify.
    if (found->second.autoOpened && command.notify) return mcierr::kNotifyOnAutoOpen;
    std::uint32_t code = found->second.device->Execute(command, reply, callback);
    CloseIdleAutoOpened();
    return code;
}

// A command that names no open device: winmm opens a file it names, or the
// device type itself, for that command only.
std::uint32_t MciEngine::WithoutDevice(const MciCommand& command, std::string& reply, std::uintptr_t callback) {
    std::string alias = AsciiLowerCase(command.device);
    bool file = NamesAFile(command.device);
    if (!file && alias != kDeviceType) return mcierr::kInvalidDeviceName;
    if (command.notify) return mcierr::kNotifyOnAutoOpen;
    if (file && !EndsWithWav(command.device)) return mcierr::kExtensionNotFound;
    std::string ignored;
    if (std::uint32_t code = OpenDevice(command.device, file ? command.device : "", true, ignored)) return code;
    std::uint32_t code = devices_[alias].device->Execute(command, reply, callback);
    CloseIdleAutoOpened();
    return code;
}

void MciEngine::CloseIdleAutoOpened() {
    for (auto it = devices_.begin(); it != devices_.end();) {
        if (it->second.autoOpened && !it->second.device->Busy()) it = devices_.erase(it);
        else ++it;
    }
}

std::uint32_t MciEngine::Open(const MciCommand& command, std::string& reply, std::uintptr_t callback) {
    // The element: "new", a file, "type!file", or a device type alone.
    std::string name = command.device, type, file;
    bool isNew = AsciiLowerCase(name) == "new";
    if (std::size_t bang = name.find('!'); bang != std::string::npos) {
        type = name.substr(0, bang);
        file = name.substr(bang + 1);
        if (type.empty() && file.empty()) return mcierr::kInvalidDeviceName;
    } else if (!isNew && NamesAFile(name)) {
        file = name;
    } else if (!isNew) {
        type = name;
    }
    KeywordReader words(command.words);
    std::string alias;
    bool gotType = false, gotAlias = false, gotBuffer = false, shareable = false;
    while (!words.AtEnd()) {
        if (words.Take("shareable")) {
            shareable = true;
            continue;
        }
        if (words.Take("buffer")) {
            // Seconds of buffering: the sound server decides that here.
            if (gotBuffer) return mcierr::kDuplicateFlags;
            gotBuffer = true;
            std::uint64_t seconds = 0;
            if (auto code = words.TakeNumber(seconds)) return code;
            continue;
        }
        bool* seen = nullptr;
        std::string* target = nullptr;
        if (words.Take("type")) seen = &gotType, target = &type;
        else if (words.Take("alias")) seen = &gotAlias, target = &alias;
        else return mcierr::kUnrecognizedKeyword;
        if (*seen) return mcierr::kDuplicateFlags;
        *seen = true;
        if (!words.TakeWord(*target) || target->empty()) return mcierr::kMissingStringArgument;
    }
    if (isNew && alias.empty()) return mcierr::kNewRequiresAlias;
    if (isNew && type.empty()) return mcierr::kDeviceTypeRequired;
    if (!type.empty() && AsciiLowerCase(type) != kDeviceType)
        return name.find('!') != std::string::npos ? mcierr::kInvalidDeviceName : mcierr::kDeviceNotInstalled;
    if (type.empty() && !EndsWithWav(file)) return mcierr::kExtensionNotFound;
    if (shareable) return mcierr::kUnsupportedFunction;  // one user per element, as winmm's waveaudio
    if (alias.empty()) alias = file.empty() ? type : file;
    if (AsciiLowerCase(alias) == "all") return mcierr::kCannotUseAll;
    if (devices_.count(AsciiLowerCase(alias))) return mcierr::kDuplicateAlias;
    if (std::uint32_t code = OpenDevice(alias, file, false, reply)) return code;
    if (command.notify) Notify(callback, alias, MciNotify::Successful);
    return 0;
}

std::uint32_t MciEngine::OpenDevice(const std::string& alias, const std::string& file, bool autoOpened,
                                    std::string& reply) {
    auto device = std::make_unique<WaveAudioDevice>(
        *backend_, [this, alias](std::uintptr_t callback, MciNotify result) { Notify(callback, alias, result); });
    device->ChooseInput(input_, program_);
    if (std::uint32_t code = file.empty() ? device->Open() : device->OpenFile(file)) return code;
    if (!device->NotKeptNote().empty()) {
        std::lock_guard lock(sinkMutex_);
        if (warningSink_) warningSink_(alias + ": " + device->NotKeptNote());
    }
    // winmm's device IDs: the lowest free one from 1.
    std::set<unsigned> used;
    for (const auto& [name, d] : devices_) used.insert(d.id);
    unsigned id = 1;
    while (used.count(id)) ++id;
    devices_[AsciiLowerCase(alias)] = Device{id, autoOpened, alias, std::move(device)};
    reply = std::to_string(id);
    return 0;
}

std::uint32_t MciEngine::Close(const MciCommand& command, std::uintptr_t callback) {
    if (!command.words.empty()) return mcierr::kUnrecognizedKeyword;
    std::string alias = AsciiLowerCase(command.device);
    std::vector<std::string> closing;
    if (alias == "all") {
        for (const auto& [name, d] : devices_) closing.push_back(name);
    } else if (devices_.count(alias)) {
        closing.push_back(alias);
    } else {
        return mcierr::kInvalidDeviceName;
    }
    for (const std::string& key : closing) {
        std::string shown = devices_[key].alias;
        devices_[key].device->Close();
        devices_.erase(key);
        if (command.notify) Notify(callback, shown, MciNotify::Successful);
    }
    return 0;
}

std::uint32_t MciEngine::Sysinfo(const MciCommand& command, std::string& reply, std::uintptr_t callback) {
    std::string device = AsciiLowerCase(command.device);
    if (device != "all" && device != kDeviceType) return mcierr::kDeviceTypeRequired;
    KeywordReader words(command.words);
    bool open = false, quantity = false, installName = false, name = false;
    std::uint64_t number = 0;
    while (!words.AtEnd()) {
        if (words.Take("open")) open = true;
        else if (words.Take("quantity")) quantity = true;
        else if (words.Take("installname")) installName = true;
        else if (words.Take("name")) {
            name = true;
            if (auto code = words.TakeNumber(number)) return code;
        } else return mcierr::kUnrecognizedKeyword;
    }
    if (quantity + installName + name == 0) return mcierr::kMissingParameter;
    if (quantity + installName + name > 1) return mcierr::kFlagsNotCompatible;
    std::vector<std::pair<unsigned, std::string>> opened;  // in the order of their IDs
    for (const auto& [key, d] : devices_) opened.emplace_back(d.id, d.alias);
    std::sort(opened.begin(), opened.end());
    if (quantity) {
        reply = std::to_string(open ? opened.size() : 1);  // one device type is installed
    } else if (installName) {
        if (device == "all") return mcierr::kDeviceTypeRequired;
        reply = kDeviceType;
    } else if (open) {
        if (number < 1 || number > opened.size()) return mcierr::kOutOfRange;
        reply = opened[number - 1].second;
    } else {
        if (number != 1) return mcierr::kOutOfRange;
        reply = kDeviceType;
    }
    if (command.notify) Notify(callback, device, MciNotify::Successful);
    return 0;
}

void MciEngine::SetCaptureInput(const CaptureInput& input) {
    std::lock_guard lock(mutex_);
    input_ = input;
}

void MciEngine::SetNamedProgram(NamedProgram program) {
    std::lock_guard lock(mutex_);
    program_ = std::move(program);
}

}  // namespace tapelark
