#include "shell/frame/help_viewer.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <filesystem>

#include "shell/services/program_search.h"

namespace korvelan {

std::string help_page_for(const std::string& shipped_dir, int context) {
    std::error_code ec;
    const std::string page = help_topic_path(shipped_dir, context);
    if (std::filesystem::is_regular_file(page, ec)) return page;
    const std::string index = shipped_dir + "help/index.html";
    return std::filesystem::is_regular_file(index, ec) ? index : std::string();
}

HelpViewer::HelpViewer(std::string shipped_dir, Opener open)
    : shipped_dir_(std::move(shipped_dir)), open_(std::move(open)) {
    if (!open_) {
        open_ = [](const std::string& path) {
            return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
        };
    }
}

bool HelpViewer::show(int context) const {
    const std::string page = help_page_for(shipped_dir_, context);
    return !page.empty() && open_(page);
}

}  // namespace korvelan
