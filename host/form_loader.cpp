#include "host/form_loader.h"

#include <map>

#include "host/standard_controls.h"
#include "host/user_control.h"

namespace host {

namespace {

std::map<std::string, ControlRegistry::Factory>& Factories() {
    static std::map<std::string, ControlRegistry::Factory> factories = [] {
        std::map<std::string, ControlRegistry::Factory> standard;
        const auto add = [&standard]<typename T>(const char* type, T*) {
            standard[type] = [](const std::string& name, std::optional<int> index) {
                return std::make_unique<T>(name, index);
            };
        };
        add("TextBox", static_cast<TextBox*>(nullptr));
        add("PictureBox", static_cast<PictureBox*>(nullptr));
        add("OptionButton", static_cast<OptionButton*>(nullptr));
        add("Label", static_cast<Label*>(nullptr));
        add("Image", static_cast<Image*>(nullptr));
        add("Timer", static_cast<Timer*>(nullptr));
        return standard;
    }();
    return factories;
}

std::string Named(const std::string& name, std::optional<int> index) {
    return index ? name + "(" + std::to_string(*index) + ")" : name;
}

}  // namespace

void ControlRegistry::Register(const std::string& typeName, Factory factory) {
    Factories()[typeName] = std::move(factory);
}

bool ControlRegistry::Known(const std::string& typeName) { return Factories().count(typeName) != 0; }

std::unique_ptr<Control> ControlRegistry::Create(const std::string& typeName,
                                                 const std::string& name, std::optional<int> index) {
    const auto it = Factories().find(typeName);
    return it == Factories().end() ? nullptr : it->second(name, index);
}

LoadResult LoadFormDescription(Form& form, const FormDescription& description) {
    LoadResult result;
    try {
        form.ReadDesignProperties(description.form.properties);
    } catch (const PropertyError& e) {
        result.errors.push_back(form.Name() + ": " + e.what());
    }
    if (!form.Load()) {
        result.errors.push_back(form.Name() + ": the window cannot be created");
        return result;
    }
    for (const auto& block : description.controls) {
        const std::string who = Named(block.name, block.index);
        Container* parent = &form;
        if (!block.container.empty()) {
            parent = dynamic_cast<Container*>(form.FindControl(block.container, block.containerIndex));
            if (!parent) {
                result.errors.push_back(who + ": " + Named(block.container, block.containerIndex) +
                                        " is not a container on the form");
                continue;
            }
        }
        auto control = ControlRegistry::Create(block.typeName, block.name, block.index);
        if (!control) {
            result.errors.push_back(who + ": no control type " + block.typeName);
            continue;
        }
        PropertyBag stored = block.properties;
        try {
            form.AddControl(std::move(control), parent, &stored);
        } catch (const PropertyError& e) {
            result.errors.push_back(who + ": " + e.what());
        }
    }
    return result;
}

LoadResult LoadFormFromText(Form& form, std::string_view text) {
    const DescriptionReadResult read = ReadFormDescription(text);
    LoadResult result;
    for (const auto& error : read.errors) {
        result.errors.push_back("line " + std::to_string(error.line) + ": " + error.message);
    }
    if (!result.Ok()) return result;
    return LoadFormDescription(form, read.description);
}

std::optional<std::string_view> ResourceText(const char* resourceId, HMODULE module) {
    if (!module) module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, resourceId, MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return std::string_view(static_cast<const char*>(data), SizeofResource(module, found));
}

LoadResult LoadFormFromResource(Form& form, const char* resourceId, HMODULE module) {
    const auto text = ResourceText(resourceId, module);
    if (!text) return {{std::string("no form description resource ") + resourceId}};
    return LoadFormFromText(form, *text);
}

FormDescription DescribeForm(const Form& form) {
    FormDescription description;
    description.form.typeName = "Form";
    description.form.name = form.Name();
    form.WriteDesignProperties(description.form.properties);
    const ControlList controls = form.Controls();
    for (Control* control : controls) {
        ControlDescription block;
        block.typeName = control->TypeName();
        block.name = control->Name();
        block.index = control->Index();
        for (Control* holder : controls) {
            if (control->Parent() && dynamic_cast<Container*>(holder) == control->Parent()) {
                block.container = holder->Name();
                block.containerIndex = holder->Index();
            }
        }
        control->WriteDesignProperties(block.properties);
        if (auto* user = dynamic_cast<UserControl*>(control)) user->SaveInstance(block.properties);
        description.controls.push_back(std::move(block));
    }
    return description;
}

}  // namespace host
