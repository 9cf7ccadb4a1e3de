// A host whose line-file services are the one platform line file (the console and the desktop
// host share it).
#pragma once

#include "engine/run/host_services.h"
#include "shell/services/line_file.h"

namespace korvelan {

class LineFileHost : public HostServices {
public:
    int create_output_file(const std::string& path) override { return line_file_.create_output_file(path); }
    int write_file_line(std::string_view text) override { return line_file_.write_file_line(text); }
    int open_input_file(const std::string& path) override { return line_file_.open_input_file(path); }
    int read_file_line(std::string& line, int& count, int capacity) override {
        return line_file_.read_file_line(line, count, capacity);
    }
    void close_file_handle() override { line_file_.close(); }

private:
    LineFile line_file_;
};

}  // namespace korvelan
