// The program's fixed texts in their stored, encoded form: texts::AppTitle.Decode() and so on.
// The plain texts are in app/texts/text_table.h; they are only arguments of a compile-time
// function here and are not emitted into the program.
#pragma once

#include "app/texts/encoded_text.h"
#include "app/texts/text_table.h"

namespace texts {

#define ORB_ENCODE_TEXT(name, plain, length)                                                 \
    inline constexpr auto name = ::modMain::Encode(plain);                                 \
    static_assert((length) == 0 || sizeof(plain) - 1 == (length), #name " has the wrong length");
ORB_TEXT_TABLE(ORB_ENCODE_TEXT)
#undef ORB_ENCODE_TEXT

}  // namespace texts
