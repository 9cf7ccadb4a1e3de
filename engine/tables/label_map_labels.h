// The labels the labelled maps show: an entry's label read from the work files, or the text the
// map field (IMAP= for items, PMAP= for persons) selects from it, and the width a map gives them.
#pragma once

#include <string>

#include "engine/input/selections.h"
#include "engine/input/work_files.h"
#include "engine/report/report_context.h"

namespace korvelan {

class MapLabelReader {
public:
    MapLabelReader(Run& run, ReportSide side);

    // The base width of the side's labels: the map field's width when it selects any, else the
    // map label length (NAMLM=, as its absolute value) when set, else the label field's display
    // columns (label_field_columns).
    int width() const { return width_; }
    // The label of entry e, or the map field's text from it; trailing blanks removed (so an
    // empty text is a blank label).
    std::string read(int e);

private:
    Run& run_;
    ReportSide side_;
    WorkFiles files_;
    bool use_map_ = false;
    FieldSelection selection_;
    SelectedText selected_;
    int width_ = 1;
};

// The text cut or blank-padded to the width.
std::string map_label_cell(const std::string& label, int width);

}  // namespace korvelan
