// The text form of a form description: the form's design-time values and each control's,
// one block per form or control, read into one property store per block. Portable.
//
//   # comment (also ';')
//   [Form frmMain]
//   Caption = Str "Orb Vorex 2009 Trial"
//   Width = I4 7455
//
//   [PictureBox picPP]
//   BackColor = I4 &HE0D0D0
//
//   [OptionButton optProLite(1) in picPP]      type, name, index, container
//   Value = Bool True
//   Font = Font "Arial" 9.75 Bold Italic Underline Strikethrough
//   Icon = Picture Icon Resource "#1"           or: Picture Bitmap File "C:\\x.bmp"
//   MouseIcon = Nothing
//
// Values: I2, I4 and UI1 take decimal or &H hexadecimal numbers (hexadecimal as the
// width's bits: I4 &H80000012 is a system colour); Str text is in double quotes with the
// escapes \" \\ \n \r \t and \xHH. Types, names and keys are letters, digits and '_'.
// The first block is the form's; a container is a control named in an earlier block.
// Reading never throws: it reports every error with its line and keeps what it could
// read. Writing gives text that reads back to an equal description.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/property_bag.h"

namespace host {

// The escapes of a quoted text besides \xHH: the letter after the backslash, and the character
// it stands for.
inline constexpr std::pair<char, char> kTextEscapes[] = {
    {'"', '"'}, {'\\', '\\'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'}};

struct ControlDescription {
    std::string typeName;  // "Form" for the form's block
    std::string name;
    std::optional<int> index;  // present for a member of a control array
    std::string container;     // empty: on the form
    std::optional<int> containerIndex;
    PropertyBag properties;

    friend bool operator==(const ControlDescription&, const ControlDescription&) = default;
};

struct FormDescription {
    ControlDescription form;
    std::vector<ControlDescription> controls;

    friend bool operator==(const FormDescription&, const FormDescription&) = default;
};

struct DescriptionError {
    int line;  // 1-based
    std::string message;
};

struct DescriptionReadResult {
    FormDescription description;
    std::vector<DescriptionError> errors;
    bool Ok() const { return errors.empty(); }
};

DescriptionReadResult ReadFormDescription(std::string_view text);

// Whether `text` can be a type, name or key of the text form: letters, digits and '_'.
bool IsIdentifier(std::string_view text);

// Whether `c` is the control `name`, with the same index or none.
bool SameControl(const ControlDescription& c, const std::string& name, std::optional<int> index);

// Throws std::invalid_argument for a type, name or key that the text form cannot hold.
std::string WriteFormDescription(const FormDescription& description);

}  // namespace host
