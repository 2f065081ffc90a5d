#pragma once

#include <QString>

#include <stdexcept>
#include <string>

// An error of the database layer: a connection or statement the engine
// rejected, or a misuse of a query. what() is UTF-8 text for the user.
class EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const std::string& message) : std::runtime_error(message) {}
    explicit EDatabaseError(const QString& message) : std::runtime_error(message.toStdString()) {}
    explicit EDatabaseError(const char* message) : std::runtime_error(message) {}
};
