// SPDX-License-Identifier: MIT
#pragma once
// Resource numbers shared by tapelark.rc and the code that loads them.
#define IDI_TAPELARK 1
#define IDB_LOGO 101
#define IDB_SAVEWAVE 102
