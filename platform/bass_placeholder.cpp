// PLACEHOLDER audio library until our layer lands: releases nothing.
#include "platform/bass.h"

BOOL BASS_Free()
{
    return TRUE;
}
