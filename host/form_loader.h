// Forms from form descriptions: controls are made by type name through a registry of
// factories, placed in their containers and given their stored values.
//
// The standard controls are registered already. A control of the program registers its
// type from start-up code (a registration from a static initializer inside the library
// would be dropped by the linker):
//   host::RegisterControlType<cmdOrb>("cmdOrb");
//
// Loading reports every problem in the result instead of stopping at the first: a text
// that does not read loads nothing; an unknown type or container skips that control; a
// stored value that does not fit (PropertyError) is reported with the control's name, and
// the control stays with what it read before.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/control.h"
#include "host/form.h"
#include "host/form_description.h"

namespace host {

class ControlRegistry {
public:
    using Factory = std::function<std::unique_ptr<Control>(const std::string& name, std::optional<int> index)>;
    static void Register(const std::string& typeName, Factory factory);
    static bool Known(const std::string& typeName);
    // nullptr for a type nobody registered.
    static std::unique_ptr<Control> Create(const std::string& typeName, const std::string& name,
                                           std::optional<int> index);
};

template <typename T>
void RegisterControlType(const std::string& typeName) {
    ControlRegistry::Register(typeName, [](const std::string& name, std::optional<int> index) {
        return std::make_unique<T>(name, index);
    });
}

struct LoadResult {
    std::vector<std::string> errors;
    bool Ok() const { return errors.empty(); }
};

[[nodiscard]] LoadResult LoadFormDescription(Form& form, const FormDescription& description);
[[nodiscard]] LoadResult LoadFormFromText(Form& form, std::string_view text);
// The text of an RCDATA resource of `module` (the program when null).
[[nodiscard]] LoadResult LoadFormFromResource(Form& form, const char* resourceId,
                                              HMODULE module = nullptr);
// The text of an RCDATA resource; nullopt when there is none.
std::optional<std::string_view> ResourceText(const char* resourceId, HMODULE module = nullptr);

// The form and its controls as a description: saving it and loading it gives them back.
FormDescription DescribeForm(const Form& form);

}  // namespace host
