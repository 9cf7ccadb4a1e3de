// A run with a recording host, a scratch directory and an open report, for the edit-file readers.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/run/file_units.h"
#include "engine/run/run.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

namespace korvelan::testing {

struct EditFileTest : ::testing::Test {
    ScratchDir dir;
    TestHost host;
    korvelan::Run run;

    EditFileTest() {
        run.host = &host;
        run.rs.temp_directory = dir.path;
        run.rs.output_directory = dir.path;
        run.rs.run_id = "077";
        run.rs.report_file = dir.file("report.txt");
        open_unit(run, unit::kReport, run.rs.report_file, OpenMode::Write);
    }
    // Writes an edit file and returns its path.
    std::string edit_file(const std::string& name, const std::string& text) {
        write_file(dir.file(name), text);
        return dir.file(name);
    }
    // The report lines written so far (the report is closed).
    std::vector<std::string> report_lines() {
        close_unit(run, unit::kReport);
        return crlf_lines(read_file(run.rs.report_file));
    }
    void answer(std::initializer_list<const char*> lines) {
        for (const char* l : lines) host.answers.emplace_back(l);
    }
    // Window lines that contain the text.
    int count_lines_with(const std::string& text) const {
        int n = 0;
        for (const auto& l : host.lines) n += l.find(text) != std::string::npos;
        return n;
    }
};

}  // namespace korvelan::testing
