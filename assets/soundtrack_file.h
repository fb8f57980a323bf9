// The soundtrack's file name in data/, the one home of it: the show plays it, the generator
// writes it, the capture tool, the page, the tests and the benchmarks read it (shell scripts and
// CMake through tests/support/shell/repository.sh and tests/soundtrack/CMakeLists.txt).
#pragma once

// A literal, so that each reader can put its folder before it ("data/" VL_SOUNDTRACK_FILE).
#define VL_SOUNDTRACK_FILE "Zyk-Morrelvisa.mp3"

// The path the show opens it by; the show spells its folder "Data", the pictures' "data" (the
// audio layer finds either spelling).
constexpr const char* k_soundtrack_path = "Data/" VL_SOUNDTRACK_FILE;
