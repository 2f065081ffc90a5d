// The vCard reader of the import over any bytes (versions 2.1 to 4.0,
// quoted-printable, base64, character sets, folded lines, UTF-16, groups and
// their labels).
#include "TransferCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::CheckFormat(transfer::Format::VCard, data, size);
    return 0;
}
