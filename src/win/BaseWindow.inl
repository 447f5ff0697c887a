#pragma once

#include <exception>

namespace snipora::win {

template <typename Handler>
LRESULT Firewall(HWND window, LRESULT failed, Handler&& handler) noexcept {
    try {
        return handler();
    } catch (const std::exception& e) {
        ReportError(window, e.what());
    } catch (...) {
        // A foreign exception has no text of ours: shown with an empty message.
        ReportError(window, "");
    }
    return failed;
}

}  // namespace snipora::win
