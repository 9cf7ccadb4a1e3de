// Data records whose fields are separated by a delimiter character instead of standing in fixed
// columns: the splitter that moves the person label and the responses into place, and the
// fields of the record as read, which column selections of delimited data refer to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvelan {

// Where the label and the responses stand in a delimited record: NAME1= and ITEM1= count
// fields, not columns.
struct DelimitedLayout {
    char delimiter = ' ';  // delimiter letter: "B"/"S" blank, "T" tab, "Y" comma, other: itself
    std::int32_t name1 = 1;
    std::int32_t namlen = 30;
    std::int32_t item1 = 1;
    std::int32_t ni = 1;
    std::int32_t xwide = 1;
};

// The separator character that a delimiter letter stands for.
char delimiter_separator(char delimiter_letter);

// The fields of the last record split, numbered from 1, each with its trailing blanks cut and
// its enclosing quote marks removed. Kept apart from the record line, which the splitter
// overwrites with the responses. Its storage is reused from record to record.
struct DelimitedFields {
    struct Span {
        std::int32_t start;
        std::int32_t length;
    };
    std::string text;  // the record as read, up to its last non-blank character
    std::vector<Span> spans;

    std::int64_t count() const { return static_cast<std::int64_t>(spans.size()); }
    // Field k (from 1); empty when the record has no such field.
    std::string_view field(std::int64_t k) const {
        if (k < 1 || k > count()) return {};
        const Span& s = spans[static_cast<std::size_t>(k - 1)];
        return std::string_view(text).substr(static_cast<std::size_t>(s.start),
                                             static_cast<std::size_t>(s.length));
    }
};

// Splits the delimited record in the record line: the label (first NAMLEN= characters of field
// NAME1=) goes to the label text, which is blanked first; the NI responses (the first XWIDE
// characters of fields ITEM1= onward, left-aligned, blank-padded) replace record columns 1 to
// NI x XWIDE. Empty fields are counted but deliver nothing, so they read as missing responses.
void split_delimited_record(std::string& record, const DelimitedLayout& layout, std::string& label,
                            DelimitedFields& fields);

}  // namespace korvelan
