#include "platform/qt/TapelarkApplication.h"

namespace tapelark {

TapelarkApplication::TapelarkApplication(const CaptureInput& input) {
    mci_.SetCaptureInput(input);
    mci_.SetEmulatorLocation([this] {
        return launcher_.ReadRegistryString(kHkeyLocalMachine, kEmulatorKey, kEmulatorLocationValue);
    });
    window_.OnClick(Control::btnWaveRec, [this] { form_.btnWaveRec_Click(); });
    window_.OnClick(Control::btnStopWave, [this] { form_.btnStopWave_Click(); });
    window_.OnClick(Control::btnPlayWave, [this] { form_.btnPlayWave_Click(); });
    window_.OnClick(Control::btnWaveClear, [this] { form_.btnWaveClear_Click(); });
    window_.OnClick(Control::btnSaveWave, [this] { form_.btnSaveWave_Click(); });
    window_.OnClick(Control::Command1, [this] { form_.Command1_Click(); });
    window_.OnClick(Control::lblCredits, [this] { form_.lblCredits_Click(); });
    window_.OnTimer([this] { form_.tmrStatus_Timer(); });
}

}  // namespace tapelark
