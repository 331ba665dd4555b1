// SPDX-License-Identifier: MIT
#include "window/FormHandlers.h"

#include "window/formPlay.h"

namespace tapelark {

FormHandlers HandlersOf(formPlay& form) {
    FormHandlers handlers;
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
            case Control::Label1: break;  // they take no clicks
        }
    };
    handlers.ticked = [&form] { form.tmrStatus_Timer(); };
    return handlers;
}

}  // namespace tapelark
