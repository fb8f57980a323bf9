// The audio library's calls the show makes, with their 2.3 signatures and constants.
#pragma once

#include "platform/win_types.h"

typedef DWORD HSTREAM;
struct GUID;

#define BASS_STREAM_PRESCAN 0x20000u
#define BASS_DATA_FFT1024 0x80000001u

BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND win, const GUID* dsguid);
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags);
BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos);
QWORD BASS_ChannelGetPosition(DWORD handle);
float BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos);
DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length);
BOOL BASS_Free();
