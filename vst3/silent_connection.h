// The IConnectionPoint operations that the processor and the controller
// share: each accepts any peer and ignores every message, since neither
// learns anything from the other except through the host.
#pragma once

#include "vst3_interfaces.h"

static inline tresult silent_connection_connect(IConnectionPoint*, IConnectionPoint* other)
{
    return other == nullptr ? kInvalidArgument : kResultOk;
}

static inline tresult silent_connection_disconnect(IConnectionPoint*, IConnectionPoint*)
{
    return kResultOk;
}

static inline tresult silent_connection_notify(IConnectionPoint*, IMessage*)
{
    return kResultOk;
}
