// The identities of the module's two classes, fixed for ever: hosts store
// projects under them.
#pragma once

#include "vst3_interfaces.h"

// FFF04346-99D8-4A7D-95F9-AA7BEDAD8C96
inline constexpr vst3_uid processor_class_id = vst3_uid_of(0xFFF04346, 0x99D84A7D, 0x95F9AA7B, 0xEDAD8C96);
// 3A37B1CB-3629-43ED-8FD7-C34B5876139F
inline constexpr vst3_uid controller_class_id = vst3_uid_of(0x3A37B1CB, 0x362943ED, 0x8FD7C34B, 0x5876139F);
