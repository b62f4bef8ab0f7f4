// Small pictures made by the tests themselves.
#pragma once

#include <cstdint>
#include <string>

namespace korimbo::test {

// A PNG of one colour (0xAARRGGBB) all over.
void WriteSolidPng(const std::wstring& path, int width, int height, uint32_t argb);

}  // namespace korimbo::test
