// The small data sets the Table tests share, and the reading of one Table out of a report.
#pragma once

#include <string>
#include <vector>

namespace korvelan::testing {

// Twelve persons on eight dichotomous items: Cider deleted, Eggs anchored at .5, Honey answered
// by all, three missing responses. The settings go before &END.
std::string dichotomous_set(const std::string& settings);

// Sixteen persons on six items scored 0-3 with CFILE= labels (Never, Sometimes, Often, Always):
// R07 answers 3 throughout (extreme), four responses are missing, item F is never scored 0.
// The settings go before &END.
std::string rating_scale_set(const std::string& settings);

// Fourteen persons on six dichotomous items, with classes in the labels: person labels "FA01"
// hold the sex (F or M) in column 1 and the region (A, B, or C for the one person MC10, who
// answers every item right) in column 2; item labels A1, A2, B1, B2, C1, C2 hold their class in
// column 1. No F person answers item C2 right. The settings go before &END.
std::string class_set(const std::string& settings);

// The lines of the nth Table id ("10.1") in a report, from its heading to the next Table's
// heading or the banner of the report's end.
std::vector<std::string> table_block(const std::string& report, const std::string& id, int nth = 1);

}  // namespace korvelan::testing
