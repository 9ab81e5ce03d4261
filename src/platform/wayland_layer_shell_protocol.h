#pragma once
// The generated header names an argument `namespace`, a C++ keyword; the name is the C
// code's alone, nothing on the wire.
#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
#include "xdg-output-unstable-v1-client-protocol.h"
