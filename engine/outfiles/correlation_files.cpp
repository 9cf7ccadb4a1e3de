#include "engine/outfiles/correlation_files.h"

#include "engine/outfiles/output_frame.h"
#include "engine/run/message_texts.h"
#include "engine/run/numtext.h"

namespace korvelan {

std::string correlation_file_line(const OutputSettings& s, std::int32_t i, std::int32_t j, double r) {
    const std::string first = int_to_text10(i), second = int_to_text10(j);
    const std::string value = real_to_text10(static_cast<float>(r), "(F10.2)");
    if (!is_csv(s)) return first + second + value;
    std::string line = first + "," + second + "," + value;
    compress_csv_line(line, s.csv);
    return line;
}

void write_correlation_file(Run& run, const OutputSettings& s, OutputServices& services, Entity side) {
    if (!services.correlations || !services.correlations->prepare(side)) return;
    const bool persons = side == Entity::Person;
    const std::string word(trim(persons ? s.person_word : s.item_word));
    if (!run.rs.report_closed && run.host)
        run.host->write_text_window_line(msg::kWritingPrefix + word + msg::kCorrelationFileDots);
    OutputFile file(run, persons ? s.pcorfile : s.icorfile);
    if (!file.open(msg::kMenuEdit + word + (persons ? msg::kMenuEditPcorfile : msg::kMenuEditIcorfile))) return;
    services.correlations->for_each_pair(side, [&](std::int32_t i, std::int32_t j, double r) {
        return file.write(correlation_file_line(s, i, j, r));
    });
    file.close();
}

}  // namespace korvelan
