#pragma once

#include "transfer/EncodingGuess.h"
#include "transfer/Encodings.h"
#include "transfer/RepairLog.h"
#include "transfer/TaskControl.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Whole text files from other programs as UTF-8.
namespace transfer {

// The encoding that a byte-order mark at the start of the bytes names
// (UTF-8, UTF-16 in either order), and the mark's length.
std::optional<Encoding> EncodingOfMark(std::string_view bytes);
std::size_t MarkLength(const Encoding& encoding);

struct DecodedFile {
    std::string text; // UTF-8, without a byte-order mark
    // The file's bytes when the text was converted from them (else null: the
    // text is the bytes), for reading them again in another encoding.
    std::shared_ptr<const std::string> original;
    Encoding encoding;
    // Whether the encoding was told (a byte-order mark, text that is all
    // UTF-8) or guessed with enough to go on.
    bool sure = true;
};

// A whole text file as UTF-8: in the encoding chosen, else the one its
// byte-order mark names, else the one guessed (EncodingGuesser). Bytes that
// are not valid in it become U+FFFD, and each line that held some is named
// in repairs; a guess that needed such repairs is not sure. A zero character
// is refused (FileFormatError naming its line): no text file holds one, so
// the file is something else. Reports its progress to the task, which may
// cancel it.
DecodedFile DecodeTextFile(std::string bytes, const std::optional<Encoding>& chosen, RepairLog& repairs,
                           TaskControl* task = nullptr);

// What a repair of undecodable bytes says: "3个字节不是有效的GBK文字, 已换成"�"".
std::string InvalidBytesRepair(std::size_t count, const Encoding& encoding);

} // namespace transfer
