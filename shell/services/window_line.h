// Where a shell service shows its lines: the Input/Output window of the host.
#pragma once

#include <functional>
#include <string_view>

namespace korvelan {

using WindowLine = std::function<void(std::string_view)>;

}  // namespace korvelan
