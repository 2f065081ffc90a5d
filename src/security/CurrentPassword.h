#pragma once

#include <string>

// The management password as last decrypted from the database by the login
// check, as bytes in the program's code page; empty until the first check.
// The login window and the password settings compare typed text with it.
extern std::string CurrentPassword;
