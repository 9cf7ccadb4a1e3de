// Benchmark of data input: 1,000,000 data records of 100 dichotomous items read, coded, written to
// the person work files and scored. Prints the time of the analysis run up to the estimation
// (data input is nearly all of it). Usage: bench_data_input [persons] [items]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "engine/driver/run_analysis.h"
#include "engine/run/host_services.h"
#include "engine/run/messages.h"
#include "engine/run/run.h"

namespace {

// A host that shows nothing and never waits.
class QuietHost : public korvelan::HostServices {
  public:
    void write_text_window_line(std::string_view) override {}
    void send_char_to_text_window(char) override {}
    std::optional<std::string> console_read_line() override { return std::nullopt; }
    void console_write_prompt(std::string_view) override {}
    void pump_messages() override {}
    bool finish_iterating_requested() override { return false; }
    void clear_finish_iterating() override {}
    bool keep_idling() override { return false; }
    int create_output_file(const std::string&) override { return 0; }
    int write_file_line(std::string_view) override { return 0; }
    void close_file_handle() override {}
    std::string prompt_for_file_name(std::string_view, std::string_view) override { return {}; }
    void show_welcome_dialog() override {}
    void insert_menu_item(int, int, std::string_view, korvelan::MenuHandler) override {}
    void append_menu_item(int, std::string_view, korvelan::MenuHandler) override {}
    void add_system_menu_item(std::string_view) override {}
    void delete_menu_item(int, int) override {}
    void set_file_prompt_menu_enabled(bool) override {}
    void build_result_menus(int) override {}
    void set_result_menus_enabled(int) override {}
    void add_edit_menu_entry(std::string_view, std::string_view) override {}
    const korvelan::InitialSettings& initial_settings() override { return settings; }
    korvelan::InitialSettings settings;
};

}  // namespace

int main(int argc, char** argv) {
    const long persons = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int items = argc > 2 ? std::atoi(argv[2]) : 100;
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("kvbench" + std::to_string(::getpid()));
    fs::create_directories(dir);

    {
        std::FILE* control = std::fopen((dir / "bench.txt").c_str(), "wb");
        std::fprintf(control,
                     "TITLE=Data input benchmark\nNI=%d\nITEM1=1\nNAME1=%d\nNAMLEN=10\nCODES=01\n"
                     "DATA=bench.dat\n&END\n",
                     items, items + 2);
        for (int i = 1; i <= items; ++i) std::fprintf(control, "Item %d\n", i);
        std::fprintf(control, "END LABELS\n");
        std::fclose(control);
        std::FILE* data = std::fopen((dir / "bench.dat").c_str(), "wb");
        std::mt19937 random(7);
        std::string record(static_cast<std::size_t>(items) + 1, ' ');
        for (long p = 1; p <= persons; ++p) {
            for (int i = 0; i < items; ++i)
                record[static_cast<std::size_t>(i)] = (random() & 1) ? '1' : '0';
            std::fprintf(data, "%s P%08ld\n", record.c_str(), p);
        }
        std::fclose(data);
    }

    QuietHost host;
    host.settings.temp_directory = dir.string() + "/";
    korvelan::Run run;
    run.host = &host;
    run.args = {(dir / "bench.txt").string(), (dir / "bench.out").string(), "BATCH=Y"};
    // Data input alone: the run ends once the records are read and the edit files applied.
    run.input.stop_before_estimation = true;
    const auto start = std::chrono::steady_clock::now();
    const int status = korvelan::run_analysis(run);
    const auto stop = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(stop - start).count();
    std::printf(
        "%ld records of %d items: %.2f s (persons stored %d, records input %lld, status %d)\n",
        persons, items, seconds, run.arrays.persons,
        static_cast<long long>(run.input.records_input), status);
    korvelan::delete_work_files_at_exit(run);

    // The whole run: data input, estimation, summary and the report.
    korvelan::Run whole;
    whole.host = &host;
    whole.args = run.args;
    const auto whole_start = std::chrono::steady_clock::now();
    const int whole_status = korvelan::run_analysis(whole);
    const double whole_seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - whole_start).count();
    std::printf("whole run: %.2f s (status %d)\n", whole_seconds, whole_status);
    korvelan::delete_work_files_at_exit(whole);
    fs::remove_all(dir);
    return status;
}
