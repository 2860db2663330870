// The scripts compiled into the page view library (resources/*.js).
#pragma once

#include <cstddef>
#include <string_view>

extern const unsigned char tarvik_pages_cellops[];
extern const std::size_t tarvik_pages_cellops_size;
extern const unsigned char tarvik_pages_pagescript[];
extern const std::size_t tarvik_pages_pagescript_size;

inline std::string_view EmbeddedText(const unsigned char* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}
