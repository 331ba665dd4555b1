// SPDX-License-Identifier: MIT
// What a waveaudio device records from: the "input" items of set and status.
#include <vector>

#include "common/AsciiText.h"
#include "platform/mci/MciCommandParser.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/WaveAudioDevice.h"

namespace tapelark {

void WaveAudioDevice::ChooseInput(const CaptureInput& input, NamedProgram program) {
    input_ = input;
    program_ = std::move(program);
}

bool WaveAudioDevice::IsInputSetting(const MciCommand& command) {
    return !command.words.empty() && EqualsIgnoringAsciiCase(command.words.front(), "input");
}

std::uint32_t WaveAudioDevice::SetInput(const MciCommand& command) {
    // The raw text, so that a program's name may hold blanks and quotes.
    std::string_view rest = TrimWhitespace(command.rest);
    rest.remove_prefix(std::min<std::size_t>(rest.size(), 5));  // "input"
    CaptureInput input;
    std::optional<std::uint64_t> number;
    if (std::uint32_t code = ParseInputWords(rest, input, number, program_.name)) return code;
    if (number) {
        // winmm numbers its inputs from 0.
        std::vector<std::string> names;
        if (std::uint32_t code = backend_.SourceNames(names)) return code;
        if (*number >= names.size()) return mcierr::kOutOfRange;
        input = {CaptureInput::Kind::Source, names[static_cast<std::size_t>(*number)]};
    }
    // Takes effect at the next record; a running capture keeps its input.
    input_ = input;
    return 0;
}

std::unique_ptr<AudioStream> WaveAudioDevice::StartInputCapture(std::uint32_t& error) {
    recordingInput_ = input_;
    recordingProgram_ = {};
    CaptureInput from = input_;
    if (input_.kind == CaptureInput::Kind::Program) {
        // Found afresh at every start: the program may have been installed meanwhile.
        if (program_.find) recordingProgram_ = program_.find();
        from = {CaptureInput::Kind::Application, recordingProgram_.nameTail};
    }
    return backend_.StartCaptureFrom(format_, from, *this, error);
}

std::string WaveAudioDevice::InputStatus() const {
    const std::string text = InputStatusAlone();
    return notKept_.empty() ? text : text + "; " + notKept_;
}

std::string WaveAudioDevice::InputStatusAlone() const {
    if (!capture_) return DescribeInput(input_) + " (not recording)";
    std::string text = DescribeInput(recordingInput_);
    std::string_view matched = recordingInput_.text;
    if (recordingInput_.kind == CaptureInput::Kind::Program) {
        matched = recordingProgram_.nameTail;
        if (!matched.empty()) text += " " + recordingProgram_.nameTail;
        if (!recordingProgram_.note.empty()) text += ", " + recordingProgram_.note;
    }
    bool named = recordingInput_.kind == CaptureInput::Kind::Application ||
                 recordingInput_.kind == CaptureInput::Kind::Program;
    if (named && matched.empty())
        return text + (recordingProgram_.note.empty() ? " (silent: no program name was given)" : " (silent)");
    if (captureFault_.load() != 0 || capture_->Away()) return text + " (not ready)";
    return text + (capture_->Hears() ? " (hearing)" : " (silent)");
}

}  // namespace tapelark
