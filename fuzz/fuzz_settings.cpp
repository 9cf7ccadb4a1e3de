// The shell's settings file: the bytes are korvelan.ini.
#include "fuzz/fuzz_run.h"
#include "shell/services/settings_file.h"
#include "tests/support/test_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvelan::testing::ScratchDir dir;
    const std::string path = dir.file("korvelan.ini");
    korvelan::testing::write_file(path, korvelan::fuzzing::as_text(data, size));
    korvelan::InitialSettings settings = korvelan::default_initial_settings("editor", "");
    korvelan::read_settings_file(path, settings);
    return 0;
}
