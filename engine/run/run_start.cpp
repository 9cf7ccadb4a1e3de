#include "engine/run/run_start.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

#include "engine/run/file_units.h"
#include "engine/run/leftover_files.h"
#include "engine/run/report_file.h"
#include "engine/run/whole_files.h"
#include "engine/run/message_texts.h"
#include "engine/run/messages.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

constexpr int kRunIdAttempts = 1000;

std::string current_directory() {
    std::error_code ec;
    std::string d = std::filesystem::current_path(ec).string();
    if (ec) d = ".";
    if (d.empty() || d.back() != '/') d += '/';
    return d;
}

std::string with_slash(std::string d) {
    if (!d.empty() && d.back() != '/') d += '/';
    return d;
}

void window(Run& run, std::string_view text) {
    if (run.host) run.host->write_text_window_line(text);
}

std::tm now_tm(const Run& run) {
    if (run.fixed_time) return *run.fixed_time;
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

long long clock_seconds(const Run& run) {
    if (run.fixed_clock_seconds) return *run.fixed_clock_seconds;
    return static_cast<long long>(std::time(nullptr));
}

// The run ids that work files ("???<id>kv.txt") of the directory already carry.
std::vector<bool> run_ids_in_use(const std::string& dir) {
    std::vector<bool> used(1000, false);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != 12 || name.compare(6, 6, "kv.txt") != 0) continue;
        const std::string id = name.substr(3, 3);
        if (std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; }))
            used[static_cast<std::size_t>(std::stoi(id))] = true;
    }
    return used;
}

// Why no run id could be claimed in a folder: no id was free, or the status of the attempt that
// failed and the file it tried.
struct ClaimFailure {
    bool no_free_id = false;
    int status = 0;
    std::string path;
};

// Claims a run id in the directory: the last three digits of the seconds clock, or the next
// one that no work file of the directory carries, by creating its ZIN file exclusively (two
// runs starting together cannot take the same id).
bool claim_run_id(Run& run, const std::string& dir, ClaimFailure& failure) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    LeftoverCount removed;
    remove_orphaned_work_files(dir, removed);
    run.rs.leftover_work_files += removed.work_files;
    const std::vector<bool> used = run_ids_in_use(dir);
    const int first = static_cast<int>(clock_seconds(run) % 1000);
    failure = ClaimFailure{true, 0, {}};
    for (int attempt = 0; attempt < kRunIdAttempts; ++attempt) {
        const int id = (first + attempt) % 1000;
        if (used[static_cast<std::size_t>(id)]) continue;
        char buf[8];
        std::snprintf(buf, sizeof buf, "%03d", id);
        run.rs.temp_directory = dir;
        run.rs.run_id = buf;
        int st = open_unit(run, unit::kControlCopy, work_file_path(run, "ZIN"), OpenMode::CreateNew);
        // The run holds its ZIN locked while it lives: a later run removes a set nobody holds.
        if (st == 0 && !hold_run_lock(work_file_path(run, "ZIN"))) {
            close_unit(run, unit::kControlCopy);
            continue;  // another run took it for a set left behind and removes it
        }
        if (st == 0) {
            note_run_work_files(run.rs.temp_directory, run.rs.temp_directory, run.rs.run_id + "kv.txt");
            return true;
        }
        if (st != 80) {  // anything but "exists" means the directory does not serve
            failure = ClaimFailure{false, st, work_file_path(run, "ZIN")};
            break;
        }
    }
    run.rs.run_id.clear();
    return false;
}

}  // namespace

std::string make_run_date_text(const std::tm& t) {
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string s = std::string(months[t.tm_mon % 12]) + " " + fmt_i(t.tm_mday, 2) + " " +
                    fmt_i(t.tm_hour, 2) + ":" + fmt_i(t.tm_min, 2) + " " +
                    fmt_i(t.tm_year + 1900, 4);
    if (s[10] == ' ') s[10] = '0';
    return s;
}

void make_run_date_text(Run& run) { run.rs.run_date = make_run_date_text(now_tm(run)); }

void pump_and_poll(Run& run) {
    if (!run.host) return;
    run.host->pump_messages();
    if (run.host->finish_iterating_requested()) run.rs.finish_iterating = true;
}

std::optional<std::string> ask_console_line(Run& run, std::string_view prompt) {
    if (run.rs.batch || !run.host) return std::nullopt;
    window(run, "");
    run.host->console_write_prompt(prompt);
    return run.host->console_read_line();
}

void check_temp_directory(Run& run) {
    const char* env = std::getenv("TMPDIR");
    const std::string system_temp = with_slash((env && *env) ? env : "/tmp");
    std::string dir = run.host ? run.host->initial_settings().temp_directory : std::string();
    dir = trim(dir).empty() ? system_temp : with_slash(std::string(trim(dir)));
    ClaimFailure failure, system_failure;
    if (claim_run_id(run, dir, failure)) return;
    if (dir != system_temp && claim_run_id(run, system_temp, system_failure)) return;
    show_message_line(run, msg::kWorkFileNotUsable);
    // A batch run has no menu to change the folder in: it is set by TMPDIR.
    const bool batch = arguments_ask_for_batch(run.args);
    show_message_line(run, batch ? msg::kWorkFileAdviceBatch : msg::kWorkFileAdvice);
    // Why each folder did not serve.
    auto name_unusable_folder = [&](const std::string& folder, const ClaimFailure& why) {
        show_message_line(run, std::string(msg::kWorkFileFolderWas) + folder);
        if (why.no_free_id) show_message_line(run, msg::kNoFreeRunId + folder + msg::kNoFreeRunIdTail);
        else show_message_line(run, file_error_line(why.status, why.path, 'O'));
    };
    name_unusable_folder(dir, failure);
    if (dir != system_temp) name_unusable_folder(system_temp, system_failure);
    stop_run_as_failed(run);
}

std::optional<bool> batch_setting_of(std::string_view arg) {
    if (arg.empty() || arg.find('=') == std::string_view::npos || arg.find("=*") != std::string_view::npos)
        return std::nullopt;
    if (arg[0] != 'B' && arg[0] != 'b') return std::nullopt;
    return arg.find("=Y") != std::string_view::npos || arg.find("=y") != std::string_view::npos;
}

bool arguments_ask_for_batch(const std::vector<std::string>& args) {
    bool batch = false;
    for (const std::string& arg : args) {
        if (arg.empty()) break;
        if (auto b = batch_setting_of(arg)) batch = *b;
    }
    return batch;
}

void complete_control_file_path(Run& run) {
    const std::string& name = run.rs.report_file;
    const std::string completed = !name.empty() && name[0] == '/' ? name : current_directory() + name;
    const std::size_t slash = completed.rfind('/');
    if (slash != std::string::npos) run.rs.output_directory = completed.substr(0, slash + 1);
}

void apply_command_line(Run& run) {
    bool list_open = false;
    for (const std::string& arg : run.args) {
        if (arg.empty()) break;
        if (arg.find('=') != std::string::npos) {
            run.rs.command_instructions.push_back(arg);
            list_open = arg.find("=*") != std::string::npos;
            if (auto batch = batch_setting_of(arg)) run.rs.batch = *batch;
        } else if (arg.find('*') != std::string::npos) {
            if (list_open) run.rs.command_instructions.push_back(arg);
            list_open = false;
        } else if (run.rs.control_file.empty()) {
            run.rs.control_file = arg;
        } else if (run.rs.report_file.empty()) {
            run.rs.report_file = arg;
        } else if (list_open) {
            run.rs.command_instructions.push_back(arg);
        } else {
            show_message_line(run, std::string(msg::kUnknownCommand) + "\"" + arg + "\"");
            stop_run_as_failed(run);
        }
    }
}

namespace {

// A menu command ended the wait instead of an answer: the typed line does not count.
bool answered_by_menu(const Run& run) {
    return run.host && run.host->console_answer() == ConsoleAnswer::MenuCommand;
}

// A name the run cannot do without could not be obtained from the console.
[[noreturn]] void stop_without_name(Run& run, std::string_view what) {
    show_message_line(run, std::string(msg::kNameNeededNoInput) + std::string(what));
    stop_run_as_failed(run);
}

void obtain_control_file(Run& run) {
    for (;;) {
        while (trim(run.rs.control_file).empty()) {
            auto typed = ask_console_line(
                run, std::string(msg::kControlPrompt1) + msg::kControlPrompt2);
            if (!typed) stop_without_name(run, msg::kAControlFileName);
            if (answered_by_menu(run)) continue;  // the prompt asks again
            std::string name(trim(*typed));
            if (name.empty()) {
                if (run.host) name = run.host->prompt_for_file_name(
                                  msg::kControlFileDialogTitle, run.host->initial_settings().filter,
                                  FilePromptMode::Open);
                if (!name.empty()) window(run, name);
            }
            run.rs.control_file = name;
        }
        run.rs.control_file = std::string(trim(run.rs.control_file));
        if (open_unit(run, unit::kControl, run.rs.control_file, OpenMode::Read) == 0) {
            close_unit(run, unit::kControl);
            return;
        }
        report_file_error(run, run.rs.control_file, 'I');
        run.rs.control_file.clear();
        run.rs.both_names_given = false;
        if (run.rs.batch) stop_run_as_failed(run);
    }
}

void add_control_file_menus(Run& run) {
    if (!run.host) return;
    const std::string& name = run.rs.control_file;
    std::string quoted = std::string("\"") + kProgramWord + " " + name + "\"";
    run.host->insert_menu_item(0, 1, std::string(msg::kMenuEditControlFile) + name, nullptr);
    run.host->add_system_menu_item(std::string(msg::kMenuExitRestart) + quoted);
    run.host->insert_menu_item(0, 2, std::string(msg::kMenuExitRestart) + quoted, nullptr);
    run.host->add_system_menu_item(std::string(msg::kMenuRestart) + quoted);
    run.host->insert_menu_item(0, 3, std::string(msg::kMenuRestart) + quoted, nullptr);
    run.host->add_system_menu_item(std::string(msg::kMenuEditControlFile) + name);
    run.host->insert_menu_item(1, 1, std::string(msg::kMenuEditControlFile) + name, nullptr);
}

void change_to_control_directory(Run& run) {
    const std::string& name = run.rs.control_file;
    std::size_t slash = name.rfind('/');
    if (slash == std::string::npos) return;
    std::string dir = name.substr(0, slash + 1);
    if (dir.size() <= 1 || dir == current_directory()) return;
    if (::chdir(dir.c_str()) == 0) window(run, std::string(msg::kCurrentDirectory) + dir);
}

std::string absolute(const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    return current_directory() + name;
}

// Whether the report name names the control file: the same name, or another name of the same
// file (a relative or linked path).
bool names_control_file(const Run& run, const std::string& name) {
    if (name == run.rs.control_file || absolute(name) == run.rs.control_file) return true;
    std::error_code ec;
    return std::filesystem::equivalent(name, run.rs.control_file, ec);
}

// Opens the report file; returns true when the first attempt succeeded (no temporary retry).
// The extra instructions are asked for once, with the first name.
bool obtain_report_file(Run& run, bool may_ask_extra) {
    const std::string zou = "ZOU" + run.rs.run_id + "kv.txt";
    for (int attempt = 0;; ++attempt) {
        bool no_answer = false;
        while (trim(run.rs.report_file).empty() || names_control_file(run, run.rs.report_file)) {
            const bool same_as_control = !trim(run.rs.report_file).empty();
            if (same_as_control) {
                window(run, msg::kReportSameAsControl);
                run.rs.report_file.clear();
            }
            auto typed = ask_console_line(
                run, std::string(msg::kReportPrompt1) + msg::kReportPrompt2);
            // Without an answer the name cannot be asked again: the run stops rather than write
            // its report to a work file that is deleted at exit.
            if (!typed && same_as_control) stop_run_as_failed(run);
            if (!typed) no_answer = true;
            std::string name = typed && !answered_by_menu(run) ? std::string(trim(*typed)) : std::string();
            if (typed && name.empty() && run.host->console_answer() == ConsoleAnswer::OpenFile) {
                name = run.host->prompt_for_file_name(msg::kReportFileDialogTitle, run.host->initial_settings().filter,
                                                      FilePromptMode::Save);
                if (!name.empty()) window(run, name);
            }
            run.rs.report_file = name.empty() ? zou : name;
        }
        bool ask_extra = may_ask_extra && !run.rs.both_names_given && run.rs.command_instructions.empty();
        if (ask_extra) {
            std::optional<std::string> typed;
            do typed = ask_console_line(run, msg::kExtraSpecifications);
            while (typed && answered_by_menu(run));
            run.rs.extra_specifications = typed ? typed->substr(0, std::min<std::size_t>(typed->size(), 80)) : "";
        }
        if (open_report_file(run, run.rs.report_file) == 0) return true;
        if (run.rs.report_file == zou) {
            std::string in_temp = run.rs.temp_directory + zou;
            if (open_report_file(run, in_temp) == 0) {
                run.rs.report_file = in_temp;
                return false;
            }
        }
        // The name as resolved: a relative name is taken in the control file's folder.
        report_file_error(run, absolute(run.rs.report_file), 'O');
        run.rs.report_file.clear();
        run.rs.both_names_given = false;
        // Without a console answer the same failure would repeat for ever.
        if (run.rs.batch || no_answer || attempt > 100) stop_run_as_failed(run);
    }
}

// The report opened under its name, which then sets the output folder.
void settle_report_file(Run& run, bool may_ask_extra) {
    if (obtain_report_file(run, may_ask_extra)) {
        complete_control_file_path(run);
        if (run.rs.report_file[0] != '/') run.rs.report_file = current_directory() + run.rs.report_file;
    }
}

// An input file of the run that the report would replace: a file read so far (the control
// file's own inputs are read as they are named) or a file of DATA=. Empty when there is none.
std::string input_named_like_report(const Run& run) {
    const std::string& report = run.rs.report_file;
    if (!written_aside(report)) return {};
    for (const std::string& input : run.rs.input_files)
        if (!is_run_work_file(run, input) && names_same_file(input, report)) return input;
    for (const std::string& name : names_of_file_list(run.cv.data_file))
        if (names_same_file(name, report)) return absolute(name);
    return {};
}

}  // namespace

namespace {
// Removes the unfinished output files of stopped runs beside the report and says in one line
// what this and the work-file sweep removed.
void clear_leftovers_of_stopped_runs(Run& run) {
    const std::string& report = run.rs.report_file;
    const std::size_t slash = report.rfind('/');
    const std::string folder = slash == std::string::npos ? current_directory() : report.substr(0, slash + 1);
    LeftoverCount removed;
    remove_orphaned_aside_files(folder, removed);
    // Those under the report's own name went when the report was opened.
    run.rs.leftover_aside_files += removed.aside_files + take_removed_leftover_asides();
    std::string line;
    if (run.rs.leftover_work_files > 0)
        line = std::to_string(run.rs.leftover_work_files) + msg::kLeftoverWorkFiles + run.rs.temp_directory;
    if (run.rs.leftover_aside_files > 0)
        line += (line.empty() ? "" : msg::kLeftoverAnd) + std::to_string(run.rs.leftover_aside_files) +
                msg::kLeftoverAsideFiles + folder;
    if (!line.empty()) window(run, msg::kLeftoversRemoved + line);
}
}  // namespace

void start_run(Run& run) {
    run.rs.exponent_clamp = 20.0f;
    run.rs.smallest_positive = static_cast<float>(std::exp(-30.0));
    run.rep.request.table = 0;
    make_run_date_text(run);
    window(run, std::string(" ") + kProgramWord + msg::kVersion + fmt_f(kVersionNumber, 5, 2) + "  " +
                    run.rs.run_date);
    run.rs.leftover_work_files = run.rs.leftover_aside_files = 0;
    take_removed_leftover_asides();
    run.rs.report_guarded = false;
    forget_finished_files();
    check_temp_directory(run);
    run.rs.output_directory = run.rs.temp_directory;
    run.rs.batch = false;
    run.rs.control_file.clear();
    run.rs.report_file.clear();
    apply_command_line(run);
    if (!run.rs.batch && run.host) run.host->show_welcome_dialog();
    run.rs.both_names_given = !run.rs.control_file.empty() && !run.rs.report_file.empty();
    if (!run.rs.both_names_given && run.rs.batch) {
        show_message_line(run, std::string(msg::kBatchNeedsNames) +
                                   std::string(trim(run.rs.control_file)) +
                                   msg::kBatchNeedsNamesOutput + std::string(trim(run.rs.report_file)));
        stop_run_as_failed(run);
    }
    window(run, msg::kCurrentDirectory);
    window(run, current_directory());
    if (!run.rs.control_file.empty()) {
        window(run, "");
        window(run, msg::kNameOfControlFile);
        window(run, run.rs.control_file);
    }
    for (;;) {
        obtain_control_file(run);
        run.rs.control_file = absolute(run.rs.control_file);
        add_control_file_menus(run);
        change_to_control_directory(run);
        if (!run.rs.report_file.empty()) {
            window(run, "");
            window(run, msg::kNameOfReportFile);
            window(run, run.rs.report_file);
        }
        if (run.rs.report_file.empty() && run.host && run.host->initial_settings().report_prompt == 'N')
            run.rs.report_file = "ZOU" + run.rs.run_id + "kv.txt";
        settle_report_file(run, true);
        if (open_unit(run, unit::kControl, run.rs.control_file, OpenMode::Read) == 0) break;
        report_file_error(run, run.rs.control_file, 'I');
        run.rs.control_file.clear();
        if (run.rs.batch) stop_run_as_failed(run);
    }
    if (run.host) run.host->delete_menu_item(0, 4);
    clear_leftovers_of_stopped_runs(run);
    note_run_work_files(run.rs.temp_directory, run.rs.output_directory, run.rs.run_id + "kv.txt");
    window(run, msg::kTempDirectory);
    window(run, run.rs.temp_directory);
}

void check_report_against_input_files(Run& run) {
    for (std::string input; !(input = input_named_like_report(run)).empty();) {
        if (run.rs.batch || !run.host) refuse_report_named_like_input(run, input);
        // At the desktop the name is asked for again; nothing was written under the old one.
        window(run, msg::kReportSameAsInput + input);
        drop_unit(run, unit::kReport);
        run.rs.report_file.clear();
        settle_report_file(run, false);
        note_run_work_files(run.rs.temp_directory, run.rs.output_directory, run.rs.run_id + "kv.txt");
    }
    run.rs.report_guarded = true;
}

std::string work_file_path(const Run& run, std::string_view code) {
    return run.rs.temp_directory + std::string(code) + run.rs.run_id + "kv.txt";
}

}  // namespace korvelan
