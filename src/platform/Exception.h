#pragma once
// The firmware's exception. An empty message means power-off or shut-down and
// is never shown; any other message reaches the user in an error box.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
  public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};
