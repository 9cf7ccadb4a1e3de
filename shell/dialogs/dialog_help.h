// The Help buttons of the dialogs: each asks its owner to open the help topic of the dialog's
// context number (the frame opens the local help pages).
#pragma once

#include <functional>

namespace korvelan {

using HelpRequest = std::function<void(int context)>;

// Help context numbers of the dialogs.
namespace help_context {
inline constexpr int kSpecification = 1;  // Specification and grouping dialogs
inline constexpr int kSubtables = 3;
inline constexpr int kWelcome = 15;
inline constexpr int kWeights = 220;
inline constexpr int kInitialSettings = 255;
inline constexpr int kXFile = 648;
}  // namespace help_context

}  // namespace korvelan
