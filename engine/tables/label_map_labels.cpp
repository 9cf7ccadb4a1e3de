#include "engine/tables/label_map_labels.h"

#include <algorithm>
#include <cstdlib>

#include "engine/input/data_input.h"

namespace korvelan {

MapLabelReader::MapLabelReader(Run& run, ReportSide side)
    : run_(run), side_(side), files_(run_work_files(run)) {
    const bool persons = side == ReportSide::Persons;
    const std::string& field = persons ? run.cv.pmap : run.cv.imap;
    if (!trim(field).empty() &&
        parse_field_selection(run, field, persons ? "PMAP" : "IMAP", SelectionUse::Label,
                              selection_)) {
        apply_field_selection(selection_, {}, selected_);
        use_map_ = selected_.count > 0;
    }
    if (use_map_)
        width_ = selected_.count;
    else if (run.cv.namlm != 0)
        width_ = std::abs(run.cv.namlm);
    else
        width_ = label_field_columns(run, side);
    width_ = std::max(width_, 1);
}

std::string MapLabelReader::read(int e) {
    std::string label;
    if (side_ == ReportSide::Persons)
        read_person_name_record(run_, files_, e, label);
    else
        read_item_label_record(run_, files_, e, label);
    if (use_map_) {
        apply_field_selection(selection_, label, selected_);
        label.assign(selected_.text());
    }
    label.resize(trim_right(label).size());
    return label;
}

std::string map_label_cell(const std::string& label, int width) {
    return pad_right(label, static_cast<std::size_t>(std::max(width, 0)));
}

}  // namespace korvelan
