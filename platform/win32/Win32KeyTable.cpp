// SPDX-License-Identifier: MIT
#include "platform/win32/Win32KeyTable.h"

namespace tapelark {

// Numbers as winuser.h has them; this file stays free of it so the table
// can be read and tested anywhere.
unsigned short VirtualKeyOf(NamedKey key) {
    switch (key) {
        case NamedKey::Character: return 0;
        case NamedKey::Enter: return 0x0d;
        case NamedKey::Tab: return 0x09;
        case NamedKey::Escape: return 0x1b;
        case NamedKey::Backspace: return 0x08;
        case NamedKey::Delete: return 0x2e;
        case NamedKey::Insert: return 0x2d;
        case NamedKey::Home: return 0x24;
        case NamedKey::End: return 0x23;
        case NamedKey::PageUp: return 0x21;
        case NamedKey::PageDown: return 0x22;
        case NamedKey::Left: return 0x25;
        case NamedKey::Up: return 0x26;
        case NamedKey::Right: return 0x27;
        case NamedKey::Down: return 0x28;
        case NamedKey::Break: return 0x03;
        case NamedKey::CapsLock: return 0x14;
        case NamedKey::NumLock: return 0x90;
        case NamedKey::ScrollLock: return 0x91;
        case NamedKey::PrintScreen: return 0x2c;
        case NamedKey::Help: return 0x2f;
        case NamedKey::Add: return 0x6b;
        case NamedKey::Subtract: return 0x6d;
        case NamedKey::Multiply: return 0x6a;
        case NamedKey::Divide: return 0x6f;
        default: break;
    }
    // F1 ... F16 run in one block.
    return static_cast<unsigned short>(0x70 + static_cast<int>(key) - static_cast<int>(NamedKey::F1));
}

}  // namespace tapelark
