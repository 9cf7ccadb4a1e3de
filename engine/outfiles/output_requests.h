// Which output files exist and how a request for one is served: at the end of the estimation for
// every file named in the control file, and after the run from the Output Files menu.
#pragma once

#include <string>

#include "engine/outfiles/output_services.h"
#include "engine/outfiles/output_settings.h"
#include "engine/run/run.h"

namespace korvelan {

using OutputWriter = void (*)(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                              OutputServices& services);

// One output file: its one-letter request code, keyword, save-dialog title, whether CSV= and
// HLINES= apply, and its writer (nullptr while the file is written elsewhere).
struct OutputFileKind {
    char code;
    const char* keyword;
    const char* dialog_title;
    bool takes_csv;
    bool takes_hlines;
    OutputWriter writer;
};

// The registry entry of a request code; nullptr for an unknown code.
const OutputFileKind* find_output_file_kind(char code);
// The file-name setting of a request code; nullptr for a code without a keyword.
std::string* output_file_name_setting(OutputSettings& s, char code);
std::string* output_file_name_setting(ControlVariables& cv, char code);

// The writers with the registry's signature.
void write_person_measure_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                               OutputServices& services);
void write_item_measure_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                             OutputServices& services);
void write_step_measure_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                     OutputServices& services);
void write_item_step_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                  OutputServices& services);
void write_probability_curve_file_request(Run& run, const OutputSettings& s,
                                          const AnalysisArrays& a, OutputServices& services);
// ICORFILE= (items) and PCORFILE= (persons): the residual correlation of every pair.
void write_item_correlation_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                 OutputServices& services);
void write_person_correlation_file(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                   OutputServices& services);

// At the end of the estimation, unless the user asked to finish iterating: every file whose
// name is set, in the order PFILE=, IFILE=, SFILE=, ISFILE=, SCFILE=, GRFILE=, DISFILE=,
// ICORFILE=, PCORFILE=, GUFILE=, SIFILE=, XFILE=. A failing file never stops the run.
void write_named_output_files(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                              OutputServices& services);

// When the user asked to finish iterating during the fit statistics, the files are not written:
// each named file is said so (in batch mode as a file not written, and the run fails).
void name_output_files_not_written(Run& run, const OutputSettings& s);

// After the run: asks for the file name in the save dialog titled for the code (a blank answer
// does nothing), creates the file through the host ("O" reported on failure), keeps the name in
// the keyword's setting, writes the file, closes it and opens it in the text editor. Returns
// false when the code has no writer here.
bool serve_output_file_request(Run& run, OutputSettings& s, const AnalysisArrays& a,
                               OutputServices& services, char code);

}  // namespace korvelan
