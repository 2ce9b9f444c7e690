#include "host/form_description.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <limits>

namespace host {

namespace {

bool IsIdentChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}


char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameWord(std::string_view a, std::string_view b) { return KeysEqual(a, b); }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads one line's tokens from left to right; every Read... gives nullopt on a mismatch and
// leaves a message in error.
class Cursor {
public:
    explicit Cursor(std::string_view line) : text_(line) {}

    void SkipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    }
    bool AtEnd() {
        SkipSpace();
        return pos_ >= text_.size();
    }
    bool Take(char c) {
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    std::optional<std::string> Word() {
        SkipSpace();
        const std::size_t start = pos_;
        while (pos_ < text_.size() && IsIdentChar(text_[pos_])) ++pos_;
        if (pos_ == start) return Fail<std::string>("a name was expected");
        return std::string(text_.substr(start, pos_ - start));
    }
    // A whole number for a field of `bits` bits, signed or not.
    std::optional<long long> Number(int bits, bool isSigned) {
        SkipSpace();
        const long long min = isSigned ? -(1LL << (bits - 1)) : 0;
        const long long max = isSigned ? (1LL << (bits - 1)) - 1 : (1LL << bits) - 1;
        if (pos_ + 1 < text_.size() && text_[pos_] == '&' && Lower(text_[pos_ + 1]) == 'h') {
            pos_ += 2;
            unsigned long long value = 0;
            int digits = 0;
            for (int d; pos_ < text_.size() && (d = HexDigit(text_[pos_])) >= 0; ++pos_, ++digits) {
                value = value * 16 + static_cast<unsigned>(d);
                if (digits >= bits / 4) return Fail<long long>("too many hexadecimal digits");
            }
            if (digits == 0) return Fail<long long>("hexadecimal digits were expected");
            if (pos_ < text_.size() && text_[pos_] == '&') ++pos_;
            long long result = static_cast<long long>(value);
            if (isSigned && result > max) result -= 1LL << bits;  // the width's bits
            return result;
        }
        long long value = 0;
        const char* first = text_.data() + pos_;
        const char* last = text_.data() + text_.size();
        if (first < last && *first == '+') ++first;
        const auto [end, ec] = std::from_chars(first, last, value);
        if (ec == std::errc::result_out_of_range) return Fail<long long>("the number is too large");
        if (ec != std::errc()) return Fail<long long>("a number was expected");
        pos_ = static_cast<std::size_t>(end - text_.data());
        if (value < min || value > max) return Fail<long long>("the number does not fit the type");
        return value;
    }
    // A decimal number as std::from_chars reads one, [-]digits[.digits][e[+|-]digits], and
    // converted by strtod, which rounds as well: from_chars of a double would add 40 KB to
    // the program file, strtod is in it already.
    std::optional<double> Real() {
        SkipSpace();
        std::size_t end = pos_;
        if (end < text_.size() && text_[end] == '-') ++end;
        std::size_t digits = SkipDigits(end);
        if (end < text_.size() && text_[end] == '.') digits += SkipDigits(++end);
        if (digits == 0) return Fail<double>("a number was expected");
        if (end < text_.size() && (text_[end] == 'e' || text_[end] == 'E')) {
            std::size_t exponent = end + 1;
            if (exponent < text_.size() && (text_[exponent] == '+' || text_[exponent] == '-')) ++exponent;
            if (SkipDigits(exponent) > 0) end = exponent;
        }
        const std::string number(text_.substr(pos_, end - pos_));
        errno = 0;
        const double value = std::strtod(number.c_str(), nullptr);
        // Out of range: too large, or too small to be told from 0.
        if (!std::isfinite(value) || (errno == ERANGE && value == 0)) return Fail<double>("a number was expected");
        pos_ = end;
        return value;
    }
    std::optional<std::string> Quoted() {
        SkipSpace();
        if (pos_ >= text_.size() || text_[pos_] != '"') return Fail<std::string>("a quoted text was expected");
        ++pos_;
        std::string out;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"') return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) break;
            const char e = text_[pos_++];
            if (e == 'x') {
                const int hi = pos_ < text_.size() ? HexDigit(text_[pos_]) : -1;
                const int lo = pos_ + 1 < text_.size() ? HexDigit(text_[pos_ + 1]) : -1;
                if (hi < 0 || lo < 0) return Fail<std::string>("\\x needs two hexadecimal digits");
                out += static_cast<char>(hi * 16 + lo);
                pos_ += 2;
                continue;
            }
            const auto* escape = std::find_if(std::begin(kTextEscapes), std::end(kTextEscapes),
                                              [e](const auto& pair) { return pair.first == e; });
            if (escape == std::end(kTextEscapes)) return Fail<std::string>(std::string("unknown escape \\") + e);
            out += escape->second;
        }
        return Fail<std::string>("the quoted text does not end");
    }

    std::string error;

private:
    // Moves `at` past the digits there; how many there were.
    std::size_t SkipDigits(std::size_t& at) const {
        const std::size_t from = at;
        while (at < text_.size() && text_[at] >= '0' && text_[at] <= '9') ++at;
        return at - from;
    }

    template <typename T>
    std::optional<T> Fail(std::string message) {
        if (error.empty()) error = std::move(message);
        return std::nullopt;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

std::optional<PropertyValue> ReadFont(Cursor& in) {
    auto face = in.Quoted();
    if (!face) return {};
    auto size = in.Real();
    if (!size) return {};
    if (*size <= 0) {
        in.error = "a font size must be above 0";
        return {};
    }
    Font font(*face, *size);
    while (!in.AtEnd()) {
        auto flag = in.Word();
        if (!flag) return {};
        if (SameWord(*flag, "Bold")) {
            font.SetBold(true);
        } else if (SameWord(*flag, "Italic")) {
            font.SetItalic(true);
        } else if (SameWord(*flag, "Underline")) {
            font.SetUnderline(true);
        } else if (SameWord(*flag, "Strikethrough")) {
            font.SetStrikethrough(true);
        } else if (SameWord(*flag, "Weight") && in.Take('=')) {
            auto weight = in.Number(16, true);
            if (!weight) return {};
            font.SetWeight(static_cast<int>(*weight));
        } else {
            in.error = "unknown font attribute " + *flag;
            return {};
        }
    }
    return font;
}

std::optional<PropertyValue> ReadPicture(Cursor& in) {
    auto kind = in.Word();
    auto where = kind ? in.Word() : std::nullopt;
    auto text = where ? in.Quoted() : std::nullopt;
    if (!text) return {};
    PictureSource source;
    if (SameWord(*kind, "Icon")) {
        source.kind = PictureSource::Kind::Icon;
    } else if (!SameWord(*kind, "Bitmap")) {
        in.error = "a picture is an Icon or a Bitmap";
        return {};
    }
    if (SameWord(*where, "Resource")) {
        source.resource = *text;
    } else if (SameWord(*where, "File")) {
        source.file = *text;
    } else {
        in.error = "a picture comes from a Resource or a File";
        return {};
    }
    return source;
}

std::optional<PropertyValue> ReadValue(Cursor& in) {
    auto type = in.Word();
    if (!type) return {};
    std::optional<PropertyValue> value;
    if (SameWord(*type, "Nothing")) {
        value = NoObject{};
    } else if (SameWord(*type, "I2")) {
        if (auto n = in.Number(16, true)) value = PropertyValue(std::in_place_type<I2>, static_cast<I2>(*n));
    } else if (SameWord(*type, "I4")) {
        if (auto n = in.Number(32, true)) value = PropertyValue(std::in_place_type<I4>, static_cast<I4>(*n));
    } else if (SameWord(*type, "UI1")) {
        if (auto n = in.Number(8, false)) value = PropertyValue(std::in_place_type<UI1>, static_cast<UI1>(*n));
    } else if (SameWord(*type, "Bool")) {
        if (auto word = in.Word()) {
            if (SameWord(*word, "True")) {
                value = true;
            } else if (SameWord(*word, "False")) {
                value = false;
            } else {
                in.error = "a Boolean is True or False";
            }
        }
    } else if (SameWord(*type, "Str")) {
        if (auto text = in.Quoted()) value = std::move(*text);
    } else if (SameWord(*type, "Font")) {
        value = ReadFont(in);
    } else if (SameWord(*type, "Picture")) {
        value = ReadPicture(in);
    } else {
        in.error = "unknown type " + *type;
    }
    if (value && !in.AtEnd()) {
        in.error = "unexpected text after the value";
        return {};
    }
    return value;
}

std::optional<int> ReadIndex(Cursor& in) {
    auto n = in.Number(16, true);
    if (!n || !in.Take(')')) {
        if (in.error.empty()) in.error = "')' was expected";
        return {};
    }
    return static_cast<int>(*n);
}

// "[Type Name(index) in Container(index)]"
std::optional<ControlDescription> ReadHeader(Cursor& in) {
    ControlDescription block;
    auto type = in.Word();
    auto name = type ? in.Word() : std::nullopt;
    if (!name) return {};
    block.typeName = *type;
    block.name = *name;
    if (in.Take('(')) {
        block.index = ReadIndex(in);
        if (!block.index) return {};
    }
    if (!in.Take(']')) {
        auto in_ = in.Word();
        if (!in_ || !SameWord(*in_, "in")) {
            in.error = "'in' or ']' was expected";
            return {};
        }
        auto container = in.Word();
        if (!container) return {};
        block.container = *container;
        if (in.Take('(')) {
            block.containerIndex = ReadIndex(in);
            if (!block.containerIndex) return {};
        }
        if (!in.Take(']')) {
            in.error = "']' was expected";
            return {};
        }
    }
    if (!in.AtEnd()) {
        in.error = "unexpected text after ']'";
        return {};
    }
    return block;
}

}  // namespace

bool IsIdentifier(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!IsIdentChar(c)) return false;
    }
    return true;
}

bool SameControl(const ControlDescription& c, const std::string& name, std::optional<int> index) {
    return c.name == name && c.index == index;
}

DescriptionReadResult ReadFormDescription(std::string_view text) {
    DescriptionReadResult result;
    ControlDescription* current = nullptr;
    bool haveForm = false;
    bool inBadBlock = false;
    int lineNumber = 0;
    const auto fail = [&](std::string message) { result.errors.push_back({lineNumber, std::move(message)}); };

    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        Cursor in(line);
        if (in.AtEnd() || in.Take('#') || in.Take(';')) continue;

        if (in.Take('[')) {
            current = nullptr;
            inBadBlock = true;
            auto block = ReadHeader(in);
            if (!block) {
                fail("block header: " + in.error);
                continue;
            }
            if (SameWord(block->typeName, "Form")) {
                if (haveForm) {
                    fail("a second form block");
                    continue;
                }
                if (!block->container.empty() || block->index) {
                    fail("the form has no index and no container");
                    continue;
                }
                haveForm = true;
                block->typeName = "Form";
                result.description.form = std::move(*block);
                current = &result.description.form;
                inBadBlock = false;
                continue;
            }
            if (!haveForm) {
                fail("the first block must be the form's");
                continue;
            }
            auto& controls = result.description.controls;
            bool duplicate = false, containerKnown = block->container.empty();
            for (const auto& c : controls) {
                duplicate = duplicate || SameControl(c, block->name, block->index);
                containerKnown = containerKnown || SameControl(c, block->container, block->containerIndex);
            }
            if (duplicate) {
                fail("a second control " + block->name);
                continue;
            }
            if (!containerKnown) {
                fail("the container " + block->container + " is not an earlier control");
                continue;
            }
            controls.push_back(std::move(*block));
            current = &controls.back();
            inBadBlock = false;
            continue;
        }

        auto key = in.Word();
        if (!key || !in.Take('=')) {
            fail("a line is 'Key = Type value': " + (in.error.empty() ? "'=' was expected" : in.error));
            continue;
        }
        auto value = ReadValue(in);
        if (!value) {
            fail(*key + ": " + in.error);
            continue;
        }
        if (!current) {
            if (!inBadBlock) fail(*key + " is outside any block");
            continue;
        }
        if (current->properties.Contains(*key)) {
            fail("a second value for " + *key);
            continue;
        }
        current->properties.Set(*key, std::move(*value));
    }
    if (!haveForm && result.errors.empty()) result.errors.push_back({lineNumber, "no form block"});
    return result;
}

}  // namespace host
