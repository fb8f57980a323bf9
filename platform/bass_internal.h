// Our audio layer's inner parts in one header, for the tools that still reach into the layer.
// The layer's own files include only the parts they use, so its include arrows run one way.
#pragma once

#include "platform/bass.h"
#include "platform/bass_device.h"
#include "platform/bass_fft.h"
#include "platform/position_model.h"
#include "platform/stream_table.h"
