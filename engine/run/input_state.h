// Run-wide values of the analysis driver and of data input that later phases read: the counts
// data input leaves, the person statuses kept across the allocation of the person block, the
// scoring switch, and the test hook of the memory allocator.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace korvelan {

// The blocks the analysis driver obtains, one request each.
enum class MemoryBlock {
    Items,
    GroupsString,
    AnswerKeys,
    RescoreString,
    ModelsString,
    IvalueIrefer,
    Groups,
    PersonStatus,
    Categories,
    Persons,
    Weights,
    PersonRecordImage,
    ScoredResponseImage,
    // Scratch blocks of the residual correlations and principal components.
    ResidualMatrix,
    ResidualRow,
    ComponentMatrix,
    ComponentVectors,
    ContrastCounters,
    TableWork,  // the work block of a Table writer
    // Scratch blocks of the subtotal, DIF/DPF and file-comparison writers.
    SubtotalGroups,
    SubtotalHistogram,
    DifCells,
    ComparisonEntries,
};

struct InputState {
    // ---- left by data input
    std::int64_t records_input = 0;         // every non-blank data record read
    // What a column is in the records MFORMS= wrote to ZMF: that of the data files it read
    // (0 characters, 1 bytes, 2 screen columns).
    std::uint8_t mforms_column_unit = 0;
    std::int32_t longest_person_label = 1;  // trimmed display columns, at least 1
    // Display columns of the widest item label of ITLEN= characters; set once the labels are read.
    std::int32_t longest_item_label = 1;
    // Bytes of a person label record in ZPP: 0 for NAMLEN= bytes, widened once a label of
    // characters of several bytes needs more.
    std::int32_t person_label_bytes = 0;
    bool non_ascii_warned = false;          // the non-ASCII code warning is given once a run

    // ---- person statuses before the person block exists
    // Highest person number whose status the person deletion list or a rejected PSELECT=
    // match set; the person deletions reset it when they start.
    std::int32_t highest_person_touched = 0;
    // Status of every person the deletion list did not name: active, or deleted when the list
    // began with a reinstatement.
    std::int8_t person_default_status = 1;

    // ---- scoring
    // Answer keys, RESCORE= or IREFER= take part in scoring; otherwise a code's text is its score.
    bool scoring_flag = false;

    // ---- weights read after data input
    bool person_weights_present = false;
    bool item_weights_present = false;
    std::int32_t person_weight_report = 1;
    std::int32_t item_weight_report = 1;

    // ---- column selections of IWEIGHT= and IAFILE=, kept whole once those name work files
    std::string item_weight_selection;
    std::string item_anchor_selection;

    // ---- test hook: returns true to refuse a block request of the given size in bytes, as if
    // memory had run out. Empty: every request is made for real.
    std::function<bool(MemoryBlock, std::int64_t)> refuse_memory;
    // Test hook: end the run successfully once data input and the edit files are done, before
    // the estimation.
    bool stop_before_estimation = false;
};

}  // namespace korvelan
