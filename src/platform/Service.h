#pragma once

// The platform layer: every desktop service the program uses (message boxes,
// clipboard, tray, shell, ...) is an interface with a Qt/Linux implementation
// that the program uses and a double that tests install. Nothing above this
// folder calls the operating system's desktop services directly.

namespace platform {

// Holds the installed implementation of one service interface.
// Each service defines Service<Interface>::defaultInstance() (its Qt version);
// tests replace it for their lifetime with Service<Interface>::Override.
template <class Interface>
class Service {
public:
    static Interface& get() { return current_ ? *current_ : defaultInstance(); }

    // Installs a replacement for as long as this object lives.
    class Override {
    public:
        explicit Override(Interface& replacement) : previous_(current_) { current_ = &replacement; }
        ~Override() { current_ = previous_; }
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;

    private:
        Interface* previous_;
    };

private:
    static Interface& defaultInstance();
    static inline Interface* current_ = nullptr;
};

} // namespace platform
