// The failure type of the core: a plain-English description of what failed, shown on the
// first line of the error report box.
#pragma once

#include <exception>

#include "core/Text.h"

class Failure : public std::exception {
public:
    explicit Failure(Text description) : m_description(std::move(description)) {}

    [[nodiscard]] const Text& Description() const noexcept { return m_description; }
    [[nodiscard]] const char* what() const noexcept override { return "Tessivane failure"; }
    // True when nothing after this failure can succeed, so the command should end here.
    [[nodiscard]] virtual bool EndsCommand() const noexcept { return false; }
    // True when the user chose to end the command here: it ends it and is no fault to report.
    [[nodiscard]] virtual bool ChosenByUser() const noexcept { return false; }

private:
    Text m_description;
};
