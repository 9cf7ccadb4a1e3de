#include "engine/outfiles/data_file_requests.h"

#include "engine/outfiles/data_lines.h"
#include "engine/outfiles/observation_file.h"
#include "engine/outfiles/score_file.h"

namespace korvelan {

void write_scored_response_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                        OutputServices& services) {
    write_scored_response_file(run, s, a, *services.records, a.person_status);
}

void write_observation_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                    OutputServices& services) {
    write_observation_file(run, s, a, *services.records, *services.curves);
}

void write_person_score_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                     OutputServices&) {
    write_person_score_file(run, s, a);
}
void write_distractor_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                   OutputServices& services) {
    write_distractor_file(run, s, a, *services.records);
}
void write_guttmanized_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                    OutputServices& services) {
    write_guttmanized_file(run, s, a, *services.records);
}

void write_simulated_data_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                       OutputServices& services) {
    write_simulated_data_file(run, s, a, *services.records, *services.curves);
}

void write_unfolded_data_file_request(Run& run, const OutputSettings& s, const AnalysisArrays& a,
                                      OutputServices& services) {
    write_unfolded_data_file(run, s, a, *services.records);
}

}  // namespace korvelan
