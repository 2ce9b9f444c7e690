#include "host/boundary.h"

#include <windows.h>

#include <exception>
#include <string>

namespace host {

void ReportEscapedException() noexcept {
    try {
        std::string text = "exception stopped at a system boundary";
        try {
            throw;
        } catch (const std::exception& e) {
            text += std::string(": ") + e.what();
        } catch (...) {
        }
        text += '\n';
        OutputDebugStringA(text.c_str());
    } catch (...) {
        // Not even the report could be made (no memory): the work's answer is still replaced.
    }
}

}  // namespace host
