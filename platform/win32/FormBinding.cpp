#include "platform/win32/FormBinding.h"

namespace tapelark {

Win32FormWindow::Handlers HandlersOf(formPlay& form) {
    Win32FormWindow::Handlers handlers;
    handlers.clicked = [&form](Control control) {
        switch (control) {
        case Control::btnWaveRec: form.btnWaveRec_Click(); break;
        case Control::btnStopWave: form.btnStopWave_Click(); break;
        case Control::btnPlayWave: form.btnPlayWave_Click(); break;
        case Control::btnWaveClear: form.btnWaveClear_Click(); break;
        case Control::btnSaveWave: form.btnSaveWave_Click(); break;
        case Control::Command1: form.Command1_Click(); break;
        case Control::lblCredits: form.lblCredits_Click(); break;
        case Control::lblStatus:
        case Control::picLogo:
        case Control::Label1: break;  // no handler of their own
        }
    };
    handlers.ticked = [&form] { form.tmrStatus_Timer(); };
    return handlers;
}

}  // namespace tapelark
