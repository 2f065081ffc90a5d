#pragma once

#include <QImage>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class TSkinReader;

// The entry name a description value refers to: the value without any folder
// part. Empty when the value is empty or does not end in exactly ".bmp".
std::string SkinBitmapFileName(std::string_view value);

// Decodes a BMP entry; a null image for anything that is not a readable BMP.
QImage DecodeSkinBitmap(std::span<const std::uint8_t> bytes);

// The bitmap a description value names, from the archive; null when the name
// is not a ".bmp" name, no entry carries it, or the entry is empty or damaged.
QImage LoadSkinBitmap(const TSkinReader& reader, std::string_view value);

// The bitmaps the program carries for skins that give none: "TRACK", "TRACKVERT".
QImage BuiltinSkinBitmap(std::string_view name);
