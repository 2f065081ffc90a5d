// The CSV reader of the import over any bytes (UTF-8, UTF-16, GB18030, anything;
// commas, semicolons or tabs), its columns in the roles their names are
// recognised to have.
#include "TransferCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::CheckFormat(transfer::Format::Csv, data, size);
    return 0;
}
