#pragma once

// A control of the windows' table found by its name, for the tests that
// check a window or a rule against one control of it.

#include "ui/forms/form_shapes.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvel::forms {

// The control of `form` named `name`; throws std::logic_error where the
// form has none.
inline const ControlShape& ControlNamed(const FormShape& form, const char* name) {
    for (const ControlShape& control : form.controls) {
        if (std::string_view(control.name) == name) {
            return control;
        }
    }
    throw std::logic_error(std::string(form.name) + " has no control " + name);
}

} // namespace quorvel::forms
