// The error protocol of the user interface.
//
// EAbort is the silent exception: a handler that refuses an operation throws
// it (Abort(), or Consiste::MensErro after showing its box) and everything up
// to the dispatcher of the user action is abandoned. Dispatch() is the one
// place that catches it. Any other exception that reaches Dispatch() is shown
// in an error box (the services' ShowError) and also ends the action.
//
// Every user action, from the desktop host or from the scenario driver, runs
// through Dispatch(). Nested dispatches (a modal form's own loop) catch at
// their own level. After the outermost action, forms released meanwhile are
// destroyed and Application->OnModelChanged runs.
#pragma once

#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

// The silent exception; nothing but the dispatcher (and TApplication::CreateForm
// around OnCreate) catches it.
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operação abandonada."; }
};

[[noreturn]] void Abort();

// Errors of the user-interface layer; the text is shown as it is.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// Misuse of a control or form ("Não é possível dar foco a um controle
// desabilitado ou invisível.", ShowModal of a visible form, ...).
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// A typed text that does not convert ("Data inválida.", "Número inválido.").
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Runs one user action. Returns true when it ended normally, false when it
// ended with EAbort (swallowed) or with another exception (shown in an error
// box). Never throws.
bool Dispatch(const std::function<void()>& action);

// Depth of nested Dispatch() calls (0 outside any user action).
int DispatchDepth();
