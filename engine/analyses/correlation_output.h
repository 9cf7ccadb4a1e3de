// The residual correlations of the run as the correlation files take them: computed when they
// are not current, then read back from the facet's work file pair by pair.
#pragma once

#include "engine/outfiles/output_services.h"
#include "engine/run/run.h"

namespace korvelan {

class RunResidualCorrelations : public ResidualCorrelations {
public:
    explicit RunResidualCorrelations(Run& run) : run_(run) {}
    bool prepare(Entity side) override;
    void for_each_pair(Entity side,
                       const std::function<bool(std::int32_t, std::int32_t, double)>& pair) override;

private:
    Run& run_;
};

}  // namespace korvelan
