// The pairwise correlations of residual rows held in memory, some codes missing, each the value
// residual_correlation gives for the pair, bit for bit.
//
// residual_correlation runs its means and variances along the columns that count for the pair.
// Where no column of the pair is missing in both rows (and, for observed residuals only, none
// is missing at all), every column counts and a missing code counts as 0: the running mean and
// variance of each row are then those of the row alone, computed once per row, and only the
// running covariance is left to each pair. That covariance is run on four pairs at once, each
// lane doing the divisions and sums of the scalar loop in the same order. Every other pair is
// computed by residual_correlation itself.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace korvelan {

class PairwiseRows {
public:
    PairwiseRows(std::span<const std::int16_t> block, std::size_t rows, std::size_t columns,
                 bool observed_only, float smallest);

    // The correlations of row a with the rows b in [b0, b1) (all after a): out[b - b0] and
    // computed[b - b0] as residual_correlation(row a, row b) gives them.
    void row_pairs(std::size_t a, std::size_t b0, std::size_t b1, double* out, std::uint8_t* computed) const;

    // The bytes the precomputed rows take beside the residuals.
    static std::int64_t bytes(std::size_t rows, std::size_t columns);

    std::size_t rows() const { return rows_; }
    std::size_t columns() const { return columns_; }

private:
    bool shared_columns(std::size_t a, std::size_t b) const;
    std::span<const std::int16_t> row(std::size_t r) const { return codes_.subspan(r * columns_, columns_); }
    void lanes(std::size_t a, std::size_t b, double* sab) const;

    std::span<const std::int16_t> codes_;
    std::size_t rows_, columns_, words_;
    bool observed_only_;
    float smallest_;
    std::vector<double> deviations_;     // column k, row r at k x rows + r: mean after k less the code
    std::vector<double> variances_;      // by row, after every column
    std::vector<std::uint64_t> missing_; // by row, `words_` words of one bit per column
    std::vector<std::uint8_t> complete_; // by row: no code missing
};

}  // namespace korvelan
