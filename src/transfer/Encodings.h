#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The encodings that files from other programs arrive in, by the names the
// converter (iconv) knows, the names files and the detector give them, and
// the names the preview shows.
namespace transfer {

struct Encoding {
    // The converter's name of the encoding: "UTF-8", "UTF-16LE", "UTF-16BE",
    // "GB18030", "CP950", "CP932", ...
    std::string charset;
    bool byteOrderMark = false; // the file began with the mark of this encoding

    bool operator==(const Encoding&) const = default;
};

Encoding Utf8Encoding();
// The program's code page: GB18030, a superset of GBK and GB2312.
Encoding CodePageEncoding();

// How the preview names an encoding ("UTF-8", "UTF-8 (带BOM)", "GBK",
// "Shift_JIS", "UTF-16 LE", ...).
std::string EncodingName(const Encoding& encoding);
// The name with the languages it serves, for the list to choose from
// ("Shift_JIS (日文)").
std::string EncodingDescription(const Encoding& encoding);

// The encoding a label names, in any letter case: a vCard's CHARSET or the
// detector's answer. Labels are read as the web reads them, each as the
// larger set that programs writing it really use: GB2312 and GBK as
// GB18030, Shift_JIS as Windows' code page 932, EUC-KR as 949, Big5 as 950,
// ISO-8859-1 and ASCII as Windows-1252 and UTF-8. A name the converter knows
// but this list does not is taken as it is. Nothing for a name nobody knows.
std::optional<Encoding> EncodingOfLabel(std::string_view label);

// The encodings the preview offers, in its order.
const std::vector<Encoding>& ChoosableEncodings();

} // namespace transfer
