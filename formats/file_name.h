// What a file name's extension asks for.
#pragma once

#include <initializer_list>
#include <string>

namespace rotary::formats {

// The extension after the last dot of the file name, in lower case; empty when there is none.
std::string lowerExtension(const std::string& path);

enum class ImageFormat { kSvg, kPdf, kPng };

// The format that a file name's extension asks for; false for an extension of no image format
// among `allowed`.
bool imageFormatOf(const std::string& path, std::initializer_list<ImageFormat> allowed,
                   ImageFormat& format);

}  // namespace rotary::formats
