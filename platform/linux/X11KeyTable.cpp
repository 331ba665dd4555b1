// SPDX-License-Identifier: MIT
#include "platform/linux/X11KeyTable.h"

namespace tapelark {

// Numbers as X11/keysymdef.h has them; printable ASCII is its own keysym.
std::uint32_t KeysymOf(const KeyStroke& press) {
    switch (press.key) {
        case NamedKey::Character: return static_cast<unsigned char>(press.character);
        case NamedKey::Enter: return 0xff0d;
        case NamedKey::Tab: return 0xff09;
        case NamedKey::Escape: return 0xff1b;
        case NamedKey::Backspace: return 0xff08;
        case NamedKey::Delete: return 0xffff;
        case NamedKey::Insert: return 0xff63;
        case NamedKey::Home: return 0xff50;
        case NamedKey::End: return 0xff57;
        case NamedKey::PageUp: return 0xff55;
        case NamedKey::PageDown: return 0xff56;
        case NamedKey::Left: return 0xff51;
        case NamedKey::Up: return 0xff52;
        case NamedKey::Right: return 0xff53;
        case NamedKey::Down: return 0xff54;
        case NamedKey::Break: return 0xff6b;
        case NamedKey::CapsLock: return 0xffe5;
        case NamedKey::NumLock: return 0xff7f;
        case NamedKey::ScrollLock: return 0xff14;
        case NamedKey::PrintScreen: return 0xff61;
        case NamedKey::Help: return 0xff6a;
        case NamedKey::Add: return 0xffab;
        case NamedKey::Subtract: return 0xffad;
        case NamedKey::Multiply: return 0xffaa;
        case NamedKey::Divide: return 0xffaf;
        default: break;
    }
    // F1 ... F16 run in one block.
    return 0xffbe + static_cast<std::uint32_t>(static_cast<int>(press.key) - static_cast<int>(NamedKey::F1));
}

}  // namespace tapelark
