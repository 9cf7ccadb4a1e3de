// The help pages shipped with the program (help/<context>.html in its folder of shipped files), opened by the context number
// a command or dialog passes; a context without a page opens the index.
#pragma once

#include <functional>
#include <string>

namespace korvelan {

// The page of a context in the folder of shipped files (ending in "/"): its own page when it exists,
// else the index; empty when neither exists.
std::string help_page_for(const std::string& shipped_dir, int context);

class HelpViewer {
public:
    // Opens a page in the user's browser; false when it could not.
    using Opener = std::function<bool(const std::string& path)>;
    // The default opener hands the page to the desktop.
    explicit HelpViewer(std::string shipped_dir, Opener open = {});
    // False when there is no page or it could not be opened.
    bool show(int context) const;

private:
    std::string shipped_dir_;
    Opener open_;
};

}  // namespace korvelan
