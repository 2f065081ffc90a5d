#include "security/CurrentPassword.h"

std::string CurrentPassword;
