// The registry's writers of the files that show the data themselves: the scored responses and
// observations (RFILE=, XFILE=), the score and distractor files (SCFILE=, DISFILE=) and the
// transformed data files (GUFILE=, SIFILE= and the unfolded file).
#pragma once

#include "engine/outfiles/output_services.h"
#include "engine/outfiles/output_settings.h"
#include "engine/run/run.h"

namespace korvelan {

void write_scored_response_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                        OutputServices& services);
void write_observation_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                    OutputServices& services);
void write_person_score_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                     OutputServices& services);
void write_distractor_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                   OutputServices& services);
void write_guttmanized_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                    OutputServices& services);
void write_simulated_data_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                       OutputServices& services);
void write_unfolded_data_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                      OutputServices& services);

}  // namespace korvelan
