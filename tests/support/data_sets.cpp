#include "tests/support/data_sets.h"

#include <cctype>

#include "tests/support/test_files.h"

namespace korvelan::testing {

std::string dichotomous_set(const std::string& settings) {
    return "TITLE=Entry statistics\nNI=8\nITEM1=1\nNAME1=10\nNAMLEN=6\nCODES=01\nIDFILE=*\n3\n*\n"
           "IAFILE=*\n5 0.5\n*\n" + settings +
           "&END\nApple\nBread\nCider\nDates\nEggs\nFigs\nGrape\nHoney\nEND LABELS\n"
           "11001001 P01\n10101011 P02\n11101 01 P03\n11010001 P04\n01101011 P05\n"
           "11110001 P06\n11011001 P07\n10101111 P08\n11110101 P09\n0111 111 P10\n"
           "10000001 P11\n11100011 P12\n";
}

std::string rating_scale_set(const std::string& settings) {
    return "TITLE=Rating scale\nNI=6\nITEM1=1\nNAME1=8\nNAMLEN=4\nCODES=0123\n"
           "CFILE=*\n0 Never\n1 Sometimes\n2 Often\n3 Always\n*\n" + settings +
           "&END\nA\nB\nC\nD\nE\nF\nEND LABELS\n"
           "321121 R01\n231212 R02\n210121 R03\n322311 R04\n31 201 R05\n333223 R06\n"
           "333333 R07\n120111 R08\n223132 R09\n3 2112 R10\n332332 R11\n102001 R12\n"
           "221201 R13\n2111 1 R14\n322222 R15\n1 1011 R16\n";
}

std::string class_set(const std::string& settings) {
    return "TITLE=Classes\nNI=6\nITEM1=1\nNAME1=8\nNAMLEN=4\nCODES=01\n" + settings +
           "&END\nA1\nA2\nB1\nB2\nC1\nC2\nEND LABELS\n"
           "110100 FA01\n111010 MA02\n101100 FB03\n110011 MB04\n111010 FA05\n101011 MA06\n"
           "111100 FB07\n011101 MB08\n100100 FA09\n111111 MC10\n110000 FB11\n100110 MA12\n"
           "011100 FB13\n110101 MB14\n";
}

std::vector<std::string> table_block(const std::string& report, const std::string& id, int nth) {
    std::vector<std::string> block;
    bool inside = false;
    for (std::string line : crlf_lines(report)) {
        const std::string bare = !line.empty() && line[0] == '\f' ? line.substr(1) : line;
        // A heading is "TABLE" and a number; body lines such as "TABLE OF POORLY FITTING" are not.
        const bool heading = bare.rfind("TABLE ", 0) == 0 && bare.size() > 6 &&
                             std::isdigit(static_cast<unsigned char>(bare[6]));
        if (heading || bare.rfind("*****", 0) == 0) {
            if (inside) break;
            inside = bare.rfind("TABLE " + id + " ", 0) == 0 && --nth == 0;
        }
        if (inside) block.push_back(line);
    }
    return block;
}

}  // namespace korvelan::testing
