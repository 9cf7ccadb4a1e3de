#include "engine/driver/output_dispatch.h"

#include <optional>
#include <string>

#include "engine/analyses/correlation_output.h"
#include "engine/analyses/measure_comparison.h"
#include "engine/driver/table_registry.h"
#include "engine/outfiles/run_output_services.h"
#include "engine/report/report_context.h"
#include "engine/report/request_frame.h"
#include "engine/report/table_list.h"
#include "engine/run/file_units.h"
#include "engine/run/message_texts.h"
#include "engine/run/record_files.h"

namespace korvelan {

namespace {

constexpr int kComparisonTable = 99;
constexpr int kLastListedTable = 40;

void write_table(Run& run) {
    const int t = run.rep.request.table;
    run.rep.sub_table_counter = 0;
    if (run.host)
        run.host->write_text_window_line(std::string(msg::kProcessingTable) +
                                         std::string(trim(int_to_text_left(t))));
    const TableEntry* entry = t >= 1 && t <= 31 ? find_table_entry(t) : nullptr;
    if (!entry || !entry->write) return;
    ReportContext ctx(run);
    ctx.side = entry->side;
    entry->write(ctx);
}

}  // namespace

void dispatch_output_request(Run& run) {
    TableRequest& request = run.rep.request;
    if (!begin_output_request(run)) {
        end_table_request(run, std::nullopt);
        return;
    }
    std::optional<std::string> table_file;
    if (run.rs.report_closed) {
        // After the run every request sorts afresh and writes to a file of its own.
        run.rep.item_sort_state = run.rep.person_sort_state = ' ';
        close_unit(run, unit::kReport);
        if (request.table < 0) {
            RunResidualCorrelations correlations(run);
            write_output_file_after_run(run, request.output_file_code, &correlations);
            return;
        }
        if (request.table == kComparisonTable) {
            compare_measure_files(run);
            return;
        }
        table_file = create_table_file(run, request.table);
        if (!table_file) {
            end_table_request(run, std::nullopt);
            return;
        }
    }
    write_table(run);
    end_table_request(run, table_file);
}

void write_tables_of_run(Run& run) {
    TableRequest& request = run.rep.request;
    std::string& selection = run.cv.table_selection;
    for (int t = 1; t <= kLastListedTable; ++t) {
        if (static_cast<std::size_t>(t) > selection.size() || selection[t - 1] != '1') continue;
        request.table = t;
        dispatch_output_request(run);
    }
    if (!trim(run.cv.tfile).empty()) {
        selection.assign(selection.size(), ' ');
        if (open_table_selection_file(run)) {
            for (;;) {
                request.letters.fill(' ');
                if (read_table_selection_line(run, request) != 0) break;
                if (request.table >= 1 && request.table <= kLastListedTable)
                    dispatch_output_request(run);
            }
        }
    }
    // The summary on screen holds the misfit rows of the run's own Tables only.
    run.rep.item_rows_copied = static_cast<std::int32_t>(run.rep.item_order.entries.size());
    run.rep.person_rows_copied = static_cast<std::int32_t>(run.rep.person_order.entries.size());
}

void serve_table_request_after_run(Run& run) {
    run.rep.page_line_counter = -1;
    dispatch_output_request(run);
    for (int u : {unit::kItemLabels, unit::kPersonLabels, unit::kPersonRecords})
        close_record_unit(run, u);
}

void request_table_after_run(Run& run, std::string_view request_text) {
    TableRequest& request = run.rep.request;
    request = TableRequest{};
    const std::string text(trim(request_text));
    const std::size_t first = text.find('.');
    const std::size_t second = first == std::string::npos ? first : text.find('.', first + 1);
    std::int64_t t = 0;
    if (parse_integer_from_text(text.substr(0, first), t) != 0) return;
    request.table = static_cast<std::int32_t>(t);
    float s = 0.0f;
    if (first != std::string::npos &&
        parse_real_from_text(text.substr(first + 1, second - first - 1), s) == 0) {
        request.selectors[0] = s;
        request.letters[0] = 'Y';
    }
    if (second != std::string::npos && parse_real_from_text(text.substr(second + 1), s) == 0) {
        request.selectors[7] = s;
        request.letters[7] = 'Y';
    }
    serve_table_request_after_run(run);
}

void request_output_file_after_run(Run& run, char code) {
    run.rep.request.table = -1;
    run.rep.request.output_file_code = code;
    dispatch_output_request(run);
}

}  // namespace korvelan
