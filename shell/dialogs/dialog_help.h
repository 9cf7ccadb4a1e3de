// The Help buttons of the dialogs: each asks its owner to open the help topic of the dialog's
// context number (the frame opens the local help pages).
#pragma once

#include <functional>

class QDialog;

namespace korvelan {

using HelpRequest = std::function<void(int context)>;

// Shows a dialog modally and returns its result; empty: the dialog's exec(). Tests answer the
// dialog through its accessors instead of a modal loop.
using ModalRun = std::function<int(QDialog& dialog)>;

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
